// Sonorift: writes the tracker module found in an Unreal Tournament music
// package to a file of its own, next to the package.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/console_texts.h"
#include "app/exit_status.h"
#include "extract/extract.h"
#include "platform/failure_report.h"
#include "platform/platform.h"

namespace {

// Writes text to the console; a console that can't take it ends the run.
void Say(std::string_view text) {
  if (!WriteToConsole(text)) IO_FAILED();
}

// Writes a status line: the marker, then text.
void SayStatus(std::string_view text) {
  if (!WriteMarkerToConsole()) IO_FAILED();
  Say(text);
}

}  // namespace

int main(int argc, char** argv) {
  StartUp(argc, argv);
  Say(BannerLine1);
  Say(BannerLine2);

  const std::vector<std::string> arguments = CommandLineArguments(argc, argv);
  const std::string argument = arguments.empty() ? std::string() : arguments[0];
  const std::string input_name = argument.substr(0, MaxNameLength);
  if (input_name.empty() || arguments.size() != 1) {
    SayStatus(UsageLine);
    ExitWithStatus(ExitUsage);
  }

  // A longer argument is never opened: cut short, it may name another file.
  File input;
  if (argument.size() > MaxNameLength || !OpenForReading(input_name, &input)) {
    SayStatus(std::string(CantOpenBefore) + input_name + std::string(CantOpenAfter));
    ExitWithStatus(ExitCantOpen);
  }

  if (const std::optional<ModuleMatch> match = FindModule(input)) {
    SayStatus(std::string(match->signature->found_text) + std::string(LineEnd));
    const std::string output_name =
        MakeOutputName(input_name, match->signature->extension);
    SayStatus(std::string(WriteToBefore) + output_name + std::string(WriteToAfter));
    const CopyOutcome outcome = CopyModuleTail(input_name, output_name, match->ModuleStart(),
                                               [] { Say(ProgressDot); });
    if (outcome == CopyOutcome::OutputIsInput) {
      Say(LineEnd);
      SayStatus(WouldOverwriteLine);
      ExitWithStatus(ExitWouldOverwrite);
    }
  }

  if (!CloseFile(input)) IO_FAILED();
  Say(OkLine);
  ExitWithStatus(ExitOk);
}
