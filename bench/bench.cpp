// Measures Sonorift against plain system tools doing comparable work, side by
// side in one run, and prints the median ratios with their targets. The
// commands compared take turns (A B A B ...), after a warm-up run each, so
// the page cache is warm and the machine's noise falls on both.
//
//   bench SONORIFT PER_OFFSET_SCAN PEAK_MEMORY WORK_DIR [RUNS]
#include <fcntl.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/test_files.h"

namespace {

struct Measure {
  double seconds;
};

double Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs a command with standard output and error going nowhere.
Measure Run(const std::vector<std::string>& command) {
  const double start = Now();
  const pid_t child = fork();
  if (child < 0) {
    perror("fork");
    exit(1);
  }
  if (child == 0) {
    const int null_fd = open("/dev/null", O_RDWR);
    dup2(null_fd, STDOUT_FILENO);
    dup2(null_fd, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status;
  if (waitpid(child, &status, 0) != child) {
    perror("waitpid");
    exit(1);
  }
  const double seconds = Now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fprintf(stderr, "%s failed\n", command[0].c_str());
    exit(1);
  }
  return {seconds};
}

// The peak resident size of a command, as peak_memory prints it.
long PeakKib(const std::vector<std::string>& command) {
  std::string line;
  for (const std::string& word : command) line += "'" + word + "' ";
  FILE* output = popen(line.c_str(), "r");
  long kib = -1;
  if (output == nullptr || fscanf(output, "%ld", &kib) != 1 || pclose(output) != 0) {
    fprintf(stderr, "%s failed\n", line.c_str());
    exit(1);
  }
  return kib;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The median wall times of two commands run in turns.
std::pair<double, double> Compare(const std::vector<std::string>& a,
                                  const std::vector<std::string>& b, int runs) {
  // Files just written are still going to disk; that work must not fall on
  // the commands measured.
  sync();
  Run(a);
  Run(b);
  std::vector<double> times_a;
  std::vector<double> times_b;
  for (int i = 0; i < runs; ++i) {
    times_a.push_back(Run(a).seconds);
    times_b.push_back(Run(b).seconds);
  }
  return {Median(times_a), Median(times_b)};
}

// Writes a file of size bytes of filler, with "IMPM" at tag_offset when
// tag_offset is not negative.
void MakeFile(const std::string& path, size_t size, long long tag_offset) {
  static const std::string block = Filler(1 << 20, 12345);
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) {
    perror(path.c_str());
    exit(1);
  }
  for (size_t written = 0; written < size;) {
    std::string chunk = block.substr(0, std::min(block.size(), size - written));
    if (tag_offset >= static_cast<long long>(written) &&
        tag_offset < static_cast<long long>(written + chunk.size())) {
      chunk.replace(static_cast<size_t>(tag_offset) - written, 4, "IMPM");
    }
    if (fwrite(chunk.data(), 1, chunk.size(), file) != chunk.size()) {
      perror(path.c_str());
      exit(1);
    }
    written += chunk.size();
  }
  fclose(file);
}

// One figure: the ratio of two median times, its target, and the times.
void Report(const char* figure, double a, double b, const char* target, bool met) {
  printf("%-58s %8.2f   target %-8s %-8s (%.1f ms / %.1f ms)\n", figure, a / b, target,
         met ? "met" : "NOT MET", a * 1000, b * 1000);
  fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: bench SONORIFT PER_OFFSET_SCAN PEAK_MEMORY WORK_DIR [RUNS]\n");
    return 2;
  }
  const std::string tool = argv[1];
  const std::string per_offset = argv[2];
  const std::string peak_memory = argv[3];
  const std::string dir = argv[4];
  const int runs = argc > 5 ? atoi(argv[5]) : 9;
  const size_t MiB = 1 << 20;

  printf("Generating test files in %s ...\n", dir.c_str());
  fflush(stdout);
  MakeFile(dir + "/notag-256M.bin", 256 * MiB, -1);
  MakeFile(dir + "/notag-1M.bin", MiB, -1);
  MakeFile(dir + "/copy-256M.umx", 256 * MiB, 100);
  MakeFile(dir + "/typical-3M.umx", 3 * MiB, 2048);
  MakeFile(dir + "/big-1G.umx", 1024 * MiB, 512 * MiB);
  MakeFile(dir + "/empty.umx", 0, -1);
  printf("%d runs each, median wall times\n\n", runs);

  auto [scan, cat] = Compare({tool, dir + "/notag-256M.bin"}, {"cat", dir + "/notag-256M.bin"}, runs);
  Report("scan, 256 MiB without a tag: Sonorift / cat", scan, cat, "<= 1.5", scan / cat <= 1.5);

  // The per-offset scan takes a second or so a run; Sonorift, a few
  // milliseconds, so start-up noise weighs on its side: several runs still.
  auto [slow, fast] = Compare({per_offset, dir + "/notag-1M.bin"}, {tool, dir + "/notag-1M.bin"},
                              std::max(5, runs / 2));
  Report("scan, 1 MiB without a tag: per-offset scan / Sonorift", slow, fast, ">= 500",
         slow / fast >= 500);

  auto [copy, dd] = Compare({tool, dir + "/copy-256M.umx"},
                            {"dd", "if=" + dir + "/copy-256M.umx", "of=" + dir + "/copy-256M.dd",
                             "bs=65535"},
                            runs);
  Report("copy, 256 MiB from offset 100: Sonorift / dd bs=65535", copy, dd, "<= 1.2",
         copy / dd <= 1.2);

  auto [typical, cp] = Compare({tool, dir + "/typical-3M.umx"},
                               {"cp", dir + "/typical-3M.umx", dir + "/typical-3M.cp"}, runs * 3);
  Report("whole run, 3 MiB package: Sonorift / cp", typical, cp, "<= 1.5", typical / cp <= 1.5);

  const long empty_peak = PeakKib({peak_memory, tool, dir + "/empty.umx"});
  const long big_peak = PeakKib({peak_memory, tool, dir + "/big-1G.umx"});
  const long growth = big_peak - empty_peak;
  printf("%-58s %5ld KiB   target %-8s %s\n", "peak memory, 1 GiB package above an empty one",
         growth, "<= 512", growth <= 512 ? "met" : "NOT MET");
  printf("(peak on the empty file: %ld KiB)\n", empty_peak);
  return 0;
}
