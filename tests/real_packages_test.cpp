// Real modules in packages laid out as the games store them, and a real
// player as the judge of what comes out; and the sample package.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/module_facts.h"
#include "tests/test_files.h"
#include "tests/tool_checks.h"
#include "tests/tool_run.h"
#include "tests/umx_builder.h"

namespace {

class RealPackagesTest : public ToolTest {};

struct RealModule {
  std::string path;
  ModuleKind kind;
  std::string format;
};

// The modules the test command unpacked from Debian's game-data packages.
std::vector<RealModule> FindRealModules() {
  std::vector<RealModule> modules;
  const std::string dir = SONORIFT_MODULE_DIR;
  std::error_code error;
  if (dir.empty() || !std::filesystem::is_directory(dir, error)) return modules;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir, error)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".it") modules.push_back({entry.path(), ModuleKind::ImpulseTracker, "it"});
    if (extension == ".s3m") modules.push_back({entry.path(), ModuleKind::ScreamTracker3, "s3m"});
    if (extension == ".xm") modules.push_back({entry.path(), ModuleKind::FastTracker, "xm"});
  }
  std::sort(modules.begin(), modules.end(),
            [](const RealModule& a, const RealModule& b) { return a.path < b.path; });
  return modules;
}

TEST_F(RealPackagesTest, ExtractsRealModulesThatPlayAsTheOriginals) {
  const std::vector<RealModule> modules = FindRealModules();
  if (modules.empty()) {
    GTEST_SKIP() << "SKIPPED: no real modules in '" SONORIFT_MODULE_DIR
                    "' (scripts/fetch-modules.sh could not fetch Debian's game-data packages)";
  }
  int kinds_seen[3] = {0, 0, 0};
  for (size_t i = 0; i < modules.size(); ++i) {
    const RealModule& real = modules[i];
    SCOPED_TRACE(real.path);
    ++kinds_seen[static_cast<int>(real.kind)];
    const std::string module = ReadBytes(real.path);

    // Every package version of the era, other data before the object now
    // and then, long object and file names now and then.
    PackageLayout layout;
    layout.version = 61 + static_cast<int>(i % 9);
    layout.data_before_object = (i % 3 == 1) ? 70000 : (i % 3 == 2) ? 300 : 0;
    const std::string stem = std::filesystem::path(real.path).stem().string();
    layout.object_name = i % 4 == 3 ? stem + std::string(60, 'x') : stem;
    const std::string package_name = (i % 5 == 4 ? std::string(180, 'P') + "-" : "") + stem;
    const MusicPackage package = BuildMusicPackage(module, real.format, layout);
    WriteBytes(dir.Path(package_name + ".umx"), package.bytes);

    const ToolRun run = Run({package_name + ".umx"});
    const std::string output_name = package_name + Extension(real.kind);
    const std::string extracted_bytes = package.bytes.substr(package.module_offset);
    EXPECT_EQ(run.out, Extracted(real.kind, output_name, extracted_bytes.size()));
    EXPECT_EQ(run.status, 0);
    const std::string extracted = ReadBytes(dir.Path(output_name));
    EXPECT_TRUE(SameBytes(extracted, extracted_bytes));

    if (ModulePlayerAvailable()) {
      const ModuleFacts original = ReadModuleFacts(module);
      EXPECT_TRUE(original.loaded);
      EXPECT_EQ(ReadModuleFacts(extracted), original);
    }
    std::filesystem::remove(dir.Path(package_name + ".umx"));
    std::filesystem::remove(dir.Path(output_name));
  }
  EXPECT_GT(kinds_seen[0], 0);
  EXPECT_GT(kinds_seen[1], 0);
  EXPECT_GT(kinds_seen[2], 0);
  if (!ModulePlayerAvailable()) {
    GTEST_SKIP() << "SKIPPED (in part): libopenmpt is not installed; the extracted bytes were "
                    "checked, not how they play";
  }
}

TEST_F(RealPackagesTest, TheSamplePackageIsTheGeneratorsAndPlays) {
  SKIP_FOR_WINDOWS_TOOL("the generator is a native program");
  const std::string committed = std::string(SONORIFT_SOURCE_DIR) + "/examples/sample.umx";
  const std::string command =
      std::string("'") + SONORIFT_MAKE_SAMPLE + "' '" + dir.Path("sample.umx") + "'";
  ASSERT_EQ(system(command.c_str()), 0);
  EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("sample.umx")), ReadBytes(committed)))
      << "examples/sample.umx is not what make_sample writes";

  const ToolRun run = Run({"sample.umx"});
  EXPECT_EQ(run.status, 0);
  ASSERT_TRUE(FileExists(dir.Path("sample.it"))) << run.out;
  if (!ModulePlayerAvailable()) GTEST_SKIP() << "SKIPPED: libopenmpt is not installed";
  const ModuleFacts facts = ReadModuleFacts(ReadBytes(dir.Path("sample.it")));
  EXPECT_TRUE(facts.loaded);
  EXPECT_EQ(facts.type, "it");
  EXPECT_EQ(facts.title, "SonoRifter Sample");
  EXPECT_GT(facts.duration_seconds, 1.0);
  EXPECT_EQ(facts.samples, 1);
  EXPECT_EQ(facts.patterns, 3);
}

}  // namespace
