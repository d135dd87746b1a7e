// Times the unpacking of the program payload (Resource_1) step by step, and the whole
// ExtractPayload against Info-ZIP unzip, bsdtar and Python's zipfile extracting the same
// archive in the same run; reports the peak memory of ExtractPayload.
//
//   payload_bench [RESOURCE_FOLDER] [--runs N]
//
// The hexadecimal text is read from a memory-mapped file, as the program reads its
// resource from its mapped image. Every figure is the median of the runs; every
// extraction goes to a fresh folder. The whole ExtractPayload runs in a process of its
// own (the test tool extract_payload), so that its peak memory is its own, and so do the
// peers.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "install/zipReader.h"
#include "util/dataResource.h"
#include "util/textCodec.h"
#include "util/utlFiles.h"
#include "util/utlStrings.h"

extern char** environ;

namespace {
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double TimeOnce(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return Milliseconds(Clock::now() - start);
}

struct ProcessRun {
  bool ok = false;
  double milliseconds = 0;
  long peakKiB = 0;
};

// Starts a program (searched in PATH) and waits for it: wall time and peak memory.
ProcessRun Run(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const auto& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ProcessRun run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) == pid) {
      run.milliseconds = Milliseconds(Clock::now() - start);
      run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      run.peakKiB = usage.ru_maxrss;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

class Scratch {
public:
  Scratch() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvelin-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
    path_ = pattern;
  }
  ~Scratch() { DelDir(Utf8ToUtf16(path_)); }
  // A new, not yet existing folder path for one extraction.
  std::string Fresh() { return path_ + "/run" + std::to_string(++count_); }
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

private:
  std::string path_;
  int count_ = 0;
};

struct Peer {
  const char* label;
  std::function<std::vector<std::string>(const std::string& archive, const std::string& dest)> command;
};

}  // namespace

int main(int argc, char** argv) {
  std::string folder = ORVELIN_PAYLOAD_DIR;
  int runs = 5;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else folder = argv[i];
  }

  SetDataResourceFolder(Utf8ToUtf16(folder));
  const std::string_view hex = ReadDataResource(u"Resource_1");
  const std::string_view line = FirstLine(hex);
  Scratch scratch;
  const std::string archivePath = scratch.Path("Prog.zip");

  std::vector<double> decode, write, extract;
  std::size_t archiveSize = 0, entries = 0;
  std::uint64_t unpacked = 0;
  for (int r = 0; r < runs; ++r) {
    std::vector<std::uint8_t> archive;
    decode.push_back(TimeOnce([&] { archive = HexToBytes(line); }));
    archiveSize = archive.size();
    write.push_back(TimeOnce([&] { WriteBytesToFile(Utf8ToUtf16(archivePath), archive); }));
    const std::string dest = scratch.Fresh();
    extract.push_back(TimeOnce([&] {
      ZipReader reader(Utf8ToUtf16(archivePath));
      reader.ExtractAll(Utf8ToUtf16(dest));
      reader.Close();
      entries = reader.Entries().size();
      unpacked = 0;
      for (const auto& e : reader.Entries()) unpacked += e.Size;
    }));
    DelDir(Utf8ToUtf16(dest));
  }

  // The whole operation, in processes of its own.
  std::vector<double> whole;
  long peakKiB = 0;
  for (int r = 0; r < runs; ++r) {
    const std::string work = scratch.Fresh(), dest = scratch.Fresh();
    fsys::MakeDir(Utf8ToUtf16(work));
    const ProcessRun run = Run({ORVELIN_EXTRACT_PAYLOAD, folder, "Resource_1", work, dest});
    if (!run.ok) {
      std::fprintf(stderr, "ExtractPayload failed\n");
      return 1;
    }
    whole.push_back(run.milliseconds);
    peakKiB = std::max(peakKiB, run.peakKiB);
    DelDir(Utf8ToUtf16(work));
    DelDir(Utf8ToUtf16(dest));
  }

  const Peer peers[] = {
      {"unzip -o -q", [](const std::string& a, const std::string& d) {
         return std::vector<std::string>{"unzip", "-o", "-q", a, "-d", d};
       }},
      {"bsdtar -xf", [](const std::string& a, const std::string& d) {
         fsys::MakeDir(Utf8ToUtf16(d));
         return std::vector<std::string>{"bsdtar", "-xf", a, "-C", d};
       }},
      {"python3 zipfile", [](const std::string& a, const std::string& d) {
         return std::vector<std::string>{"python3", "-c",
                                         "import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])",
                                         a, d};
       }},
  };

  const double decodeMs = Median(decode), wholeMs = Median(whole), extractMs = Median(extract);
  std::printf("Resource_1: hex text %zu bytes (memory-mapped), archive %zu bytes, %zu entries, %llu bytes "
              "unpacked; median of %d runs\n\n",
              hex.size(), archiveSize, entries, static_cast<unsigned long long>(unpacked), runs);
  std::printf("  %-34s %9.1f ms  %6.2f GB/s of hex text\n", "HexToBytes", decodeMs, hex.size() / decodeMs / 1e6);
  std::printf("  %-34s %9.1f ms\n", "temporary archive write", Median(write));
  std::printf("  %-34s %9.1f ms\n", "extraction (ZipReader)", extractMs);
  std::printf("  %-34s %9.1f ms\n\n", "ExtractPayload, whole (own process)", wholeMs);

  std::printf("  %-34s %9s    %s   %s\n", "peer on the same archive", "time", "ExtractPayload/peer", "extraction/peer");
  std::optional<double> unzipMs;
  for (const Peer& peer : peers) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
      const std::string dest = scratch.Fresh();
      const ProcessRun run = Run(peer.command(archivePath, dest));
      DelDir(Utf8ToUtf16(dest));
      if (!run.ok) break;
      times.push_back(run.milliseconds);
    }
    if (times.size() != static_cast<std::size_t>(runs)) {
      std::printf("  %-34s  not available\n", peer.label);
      continue;
    }
    const double ms = Median(times);
    if (!unzipMs) unzipMs = ms;
    std::printf("  %-34s %9.1f ms  %19.2f   %15.2f\n", peer.label, ms, wholeMs / ms, extractMs / ms);
  }

  const double peakMiB = peakKiB / 1024.0;
  const double limitMiB = (hex.size() + archiveSize) / 1048576.0 + 16;
  std::printf("\n  peak memory of ExtractPayload: %.1f MiB (hex text + archive + 16 MiB = %.1f MiB)\n", peakMiB,
              limitMiB);
  std::printf("\n  targets: ExtractPayload no slower than unzip: %s; HexToBytes at 1 GB/s or more: %s; "
              "peak memory within the bound: %s\n",
              unzipMs ? (wholeMs <= *unzipMs ? "met" : "NOT MET") : "unzip not available",
              hex.size() / decodeMs / 1e6 >= 1.0 ? "met" : "NOT MET", peakMiB <= limitMiB ? "met" : "NOT MET");
  return 0;
}
