// The manual page against the program: every exit status the program
// defines is documented, and the page is well-formed.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string Contents(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The statuses defined in the one place that defines them.
std::set<std::string> DefinedExitStatuses() {
  const std::string header = Contents(std::string(SONORIFT_SOURCE_DIR) + "/app/exit_status.h");
  const std::regex status("\\bExit[A-Za-z]+ = ([0-9]+),");
  std::set<std::string> statuses;
  for (std::sregex_iterator it(header.begin(), header.end(), status), end; it != end; ++it) {
    statuses.insert((*it)[1]);
  }
  return statuses;
}

// The statuses listed in the page's EXIT STATUS section.
std::set<std::string> DocumentedExitStatuses() {
  const std::string page = Contents(SONORIFT_MAN_PAGE);
  const size_t start = page.find(".Sh EXIT STATUS");
  const size_t end = page.find(".Sh ", start + 1);
  if (start == std::string::npos) return {};
  const std::string section = page.substr(start, end - start);
  const std::regex item("\\n\\.It ([0-9]+)\\n");
  std::set<std::string> statuses;
  for (std::sregex_iterator it(section.begin(), section.end(), item), stop; it != stop; ++it) {
    statuses.insert((*it)[1]);
  }
  return statuses;
}

TEST(DocumentationTest, DocumentsEveryExitStatusTheProgramDefines) {
  const std::set<std::string> defined = DefinedExitStatuses();
  EXPECT_EQ(defined, (std::set<std::string>{"0", "1", "101", "102", "103"}));
  EXPECT_EQ(DocumentedExitStatuses(), defined);
}

TEST(DocumentationTest, ManualPageIsWellFormed) {
  if (system("command -v mandoc >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "SKIPPED: mandoc is not installed";
  }
  const std::string command = std::string("mandoc -T lint -W warning '") + SONORIFT_MAN_PAGE + "'";
  EXPECT_EQ(system(command.c_str()), 0) << "mandoc finds fault with the manual page";
}

TEST(DocumentationTest, ManualPageShowsTheProjectsVersion) {
  EXPECT_NE(Contents(SONORIFT_MAN_PAGE).find(" SonoRifter v" SONORIFTER_VERSION " - "),
            std::string::npos);
}

}  // namespace
