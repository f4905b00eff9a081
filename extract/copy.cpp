#include <memory>
#include <new>

#include "extract/extract.h"
#include "platform/failure_report.h"

namespace {

// Reads and drops the bytes before the module. Reading rather than
// positioning keeps the copy to plain reads from start to end.
void SkipBytes(File input, uint8_t* buffer, int64_t count) {
  while (count > 0) {
    const size_t wanted = count < static_cast<int64_t>(CopyChunkSize)
                              ? static_cast<size_t>(count)
                              : CopyChunkSize;
    const int64_t got = ReadFromFile(input, buffer, wanted);
    if (got < 0) IO_FAILED();
    if (got == 0) return;  // The file ends before the module would start.
    count -= got;
  }
}

// Writes all of data; a short write goes round again with what is left.
void WriteAll(File output, const uint8_t* data, size_t size) {
  while (size > 0) {
    const int64_t written = WriteToFile(output, data, size);
    if (written < 0) IO_FAILED();
    data += written;
    size -= static_cast<size_t>(written);
  }
}

}  // namespace

CopyOutcome CopyModuleTail(const std::string& input_name,
                           const std::string& output_name, int64_t module_start,
                           const std::function<void()>& show_progress) {
  File input;
  if (!OpenForReading(input_name, &input)) IO_FAILED();
  // Opened without emptying it: if it is the input under another name, the
  // package must come through whole.
  File output;
  if (!OpenForWriting(output_name, &output)) IO_FAILED();
  bool output_is_input;
  if (!IsSameFile(input, output, &output_is_input)) IO_FAILED();
  if (output_is_input) {
    if (!CloseFile(output)) IO_FAILED();
    if (!CloseFile(input)) IO_FAILED();
    return module_start == 0 ? CopyOutcome::AlreadyModule : CopyOutcome::OutputIsInput;
  }

  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[CopyChunkSize]);
  if (!buffer) OUT_OF_MEMORY();
  if (!TruncateFile(output)) IO_FAILED();

  SkipBytes(input, buffer.get(), module_start);
  // The final pass reads nothing and still shows its dot.
  int64_t count;
  do {
    count = ReadFromFile(input, buffer.get(), CopyChunkSize);
    if (count < 0) IO_FAILED();
    WriteAll(output, buffer.get(), static_cast<size_t>(count));
    show_progress();
  } while (count > 0);

  buffer.reset();
  if (!CloseFile(input)) IO_FAILED();
  if (!CloseFile(output)) IO_FAILED();
  return CopyOutcome::Copied;
}
