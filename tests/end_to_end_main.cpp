// The end-to-end tests' entry point. Besides Google Test's flags it takes
//   --tool=PATH    the tool to test instead of the one built beside it
//   --runner=PATH  a program that runs the tool (wine64 for Windows builds)
#include <gtest/gtest.h>

#include <string>

#include "tests/tool_run.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::string tool;
  std::string runner;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("--tool=", 0) == 0) {
      tool = argument.substr(7);
    } else if (argument.rfind("--runner=", 0) == 0) {
      runner = argument.substr(9);
    } else {
      fprintf(stderr, "unknown argument: %s\n", argv[i]);
      return 2;
    }
  }
  if (!tool.empty()) SetToolUnderTest(tool, runner);
  return RUN_ALL_TESTS();
}
