// Times the unpacking of the program payload (Resource_1) step by step, and the whole
// ExtractPayload against Info-ZIP unzip, bsdtar, 7-Zip and Python's zipfile extracting
// the same archive in the same run, with every ratio in one table; reports the peak
// memory of ExtractPayload; then the growth: time and peak memory of ExtractPayload on
// the sample and on larger generated archives of incompressible data.
//
//   payload_bench [RESOURCE_FOLDER] [--runs N] [--growth MB,MB,...]
//
// The hexadecimal text is read from a memory-mapped file, as the program reads its
// resource from its mapped image. Every figure is the median of the runs; every
// extraction goes to a fresh folder. The whole ExtractPayload runs in a process of its
// own (the test tool extract_payload), so that its peak memory is its own, and so do
// the peers. Processes are started by a small helper process of the benchmark (this
// program again, with --measure), so that the peak memory of each is its own and not
// that of the benchmark, which a child started from it inherits as its starting figure.
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
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "install/zipReader.h"
#include "tools/zipWriter.h"
#include "util/appError.h"
#include "util/dataResource.h"
#include "util/textCodec.h"
#include "util/utlFiles.h"
#include "util/utlStrings.h"

extern char** environ;

namespace {
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
double Milliseconds(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

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
  double milliseconds = 0;  // wall time
  double cpuMilliseconds = 0;  // user and system time
  long peakKiB = 0;
};

// Starts a program (searched in PATH), its output to /dev/null, and waits for it.
ProcessRun RunDirectly(const std::vector<std::string>& command) {
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
      run.cpuMilliseconds = Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime);
      run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      run.peakKiB = usage.ru_maxrss;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

// The helper: started once, before the benchmark maps or allocates anything large, it
// runs each command it is sent and answers with its figures. One command per line, its
// arguments separated by NUL characters.
class Launcher {
public:
  explicit Launcher(const char* self) {
    int toHelper[2], fromHelper[2];
    if (::pipe(toHelper) != 0 || ::pipe(fromHelper) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
      ::close(toHelper[1]);
      ::close(fromHelper[0]);
      ::dup2(toHelper[0], STDIN_FILENO);
      ::dup2(fromHelper[1], 3);
      ::execl(self, self, "--measure", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(toHelper[0]);
    ::close(fromHelper[1]);
    to_ = ::fdopen(toHelper[1], "w");
    from_ = ::fdopen(fromHelper[0], "r");
  }
  ~Launcher() {
    std::fclose(to_);
    std::fclose(from_);
    ::waitpid(pid_, nullptr, 0);
  }

  ProcessRun Run(const std::vector<std::string>& command) {
    for (const auto& a : command) std::fwrite(a.c_str(), 1, a.size() + 1, to_);
    std::fputc('\n', to_);
    std::fflush(to_);
    ProcessRun run;
    int ok = 0;
    if (std::fscanf(from_, "%d %lf %lf %ld", &ok, &run.milliseconds, &run.cpuMilliseconds, &run.peakKiB) != 4)
      throw std::runtime_error("the measuring helper stopped");
    run.ok = ok != 0;
    return run;
  }

  // The helper's side: commands from standard input, figures to descriptor 3.
  static int Serve() {
    std::string line;
    for (int c; (c = std::getchar()) != EOF;) {
      if (c != '\n') {
        line += static_cast<char>(c);
        continue;
      }
      std::vector<std::string> command;
      for (std::size_t at = 0; at < line.size();) {
        const std::size_t end = line.find('\0', at);
        command.push_back(line.substr(at, end - at));
        at = end + 1;
      }
      line.clear();
      const ProcessRun run = RunDirectly(command);
      dprintf(3, "%d %.3f %.3f %ld\n", run.ok ? 1 : 0, run.milliseconds, run.cpuMilliseconds, run.peakKiB);
    }
    return 0;
  }

private:
  pid_t pid_ = -1;
  std::FILE* to_ = nullptr;
  std::FILE* from_ = nullptr;
};

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

const Peer kPeers[] = {
    {"unzip -o -q", [](const std::string& a, const std::string& d) {
       return std::vector<std::string>{"unzip", "-o", "-q", a, "-d", d};
     }},
    {"bsdtar -xf", [](const std::string& a, const std::string& d) {
       fsys::MakeDir(Utf8ToUtf16(d));
       return std::vector<std::string>{"bsdtar", "-xf", a, "-C", d};
     }},
    {"7zz x (7-Zip)", [](const std::string& a, const std::string& d) {
       return std::vector<std::string>{"7zz", "x", "-y", "-bd", "-o" + d, a};
     }},
    {"python3 zipfile", [](const std::string& a, const std::string& d) {
       return std::vector<std::string>{"python3", "-c",
                                       "import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])",
                                       a, d};
     }},
};

struct WholeRuns {
  double milliseconds = 0, cpuMilliseconds = 0;
  long peakKiB = 0;
};

// ExtractPayload of a resource folder's Resource_1, in processes of its own.
std::optional<WholeRuns> RunExtractPayload(Launcher& launcher, Scratch& scratch, const std::string& folder, int runs) {
  std::vector<double> wall, cpu;
  WholeRuns result;
  for (int r = 0; r < runs; ++r) {
    const std::string work = scratch.Fresh(), dest = scratch.Fresh();
    fsys::MakeDir(Utf8ToUtf16(work));
    const ProcessRun run = launcher.Run({ORVELIN_EXTRACT_PAYLOAD, folder, "Resource_1", work, dest});
    DelDir(Utf8ToUtf16(work));
    DelDir(Utf8ToUtf16(dest));
    if (!run.ok) return std::nullopt;
    wall.push_back(run.milliseconds);
    cpu.push_back(run.cpuMilliseconds);
    result.peakKiB = std::max(result.peakKiB, run.peakKiB);
  }
  result.milliseconds = Median(wall);
  result.cpuMilliseconds = Median(cpu);
  return result;
}

std::optional<double> RunPeer(Launcher& launcher, Scratch& scratch, const Peer& peer, const std::string& archive,
                              int runs) {
  std::vector<double> times;
  for (int r = 0; r < runs; ++r) {
    const std::string dest = scratch.Fresh();
    const ProcessRun run = launcher.Run(peer.command(archive, dest));
    DelDir(Utf8ToUtf16(dest));
    if (!run.ok) return std::nullopt;
    times.push_back(run.milliseconds);
  }
  return Median(times);
}

// A resource folder whose Resource_1 is an archive of about `megabytes` MB of
// incompressible files (64 MB at most each, so that large entries stream and smaller
// ones, 9 MB at most, are inflated whole), with the archive itself beside it.
std::string MakeLargePayload(Scratch& scratch, std::size_t megabytes, std::size_t& archiveSize) {
  const std::string folder = scratch.Path("growth-" + std::to_string(megabytes));
  fsys::MakeDir(Utf8ToUtf16(folder));
  ZipWriter writer;
  std::uint64_t state = 0x9E3779B97F4A7C15ull * (megabytes + 1);
  std::size_t left = megabytes * 1'000'000;
  static const std::size_t kSizes[] = {64'000'000, 3'000'000, 20'000'000, 500'000, 9'000'000};
  for (int i = 0; left > 0; ++i) {
    std::size_t size = std::min(left, kSizes[i % std::size(kSizes)]);
    // No whole entry larger than 9 MB at the end either: what is left goes to one
    // streamed entry, or to entries of 9 MB at most.
    if (left - size < ZipReader::kWholeEntryLimit + 1'000'000 && left > ZipReader::kWholeEntryLimit + 1'000'000)
      size = left;
    else if (left <= ZipReader::kWholeEntryLimit + 1'000'000)
      size = std::min<std::size_t>(left, 9'000'000);
    std::vector<std::uint8_t> data(size);
    for (std::size_t k = 0; k < size; k += 8) {  // xorshift64: incompressible
      state ^= state << 13, state ^= state >> 7, state ^= state << 17;
      std::memcpy(&data[k], &state, std::min<std::size_t>(8, size - k));
    }
    writer.Add("Donnees/fichier" + std::to_string(i) + ".bin", {2024, 5, 17, 10, 30, 0, 0}, data);
    left -= size;
  }
  const std::vector<std::uint8_t> archive = writer.Finish();
  archiveSize = archive.size();
  std::ofstream(folder + ".zip", std::ios::binary)
      .write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
  const std::string hex = BytesToHex(archive);
  std::ofstream(folder + "/RESOURCE_1", std::ios::binary).write(hex.data(), static_cast<std::streamsize>(hex.size()));
  return folder;
}

const char* Verdict(bool met) { return met ? "met" : "NOT MET"; }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--measure") == 0) return Launcher::Serve();
  Launcher launcher(argv[0]);  // before anything large is mapped or allocated here

  std::string folder = ORVELIN_PAYLOAD_DIR;
  int runs = 5;
  std::vector<std::size_t> growth = {100, 400};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--growth") == 0 && i + 1 < argc) {
      growth.clear();
      for (const char* p = argv[++i]; *p;) {
        char* end;
        const long mb = std::strtol(p, &end, 10);
        if (mb > 0) growth.push_back(static_cast<std::size_t>(mb));
        p = *end ? end + 1 : end;
      }
    } else if (argv[i][0] != '-') {
      folder = argv[i];
    } else {
      std::fprintf(stderr, "usage: payload_bench [RESOURCE_FOLDER] [--runs N] [--growth MB,MB,...]\n");
      return 2;
    }
  }

  SetDataResourceFolder(Utf8ToUtf16(folder));
  std::string_view hex;
  try {
    hex = ReadDataResource(u"Resource_1");
  } catch (const AppError& error) {
    std::fprintf(stderr, "%s: %s\n", folder.c_str(), Utf16ToUtf8(error.Message()).c_str());
    return 2;
  }
  const std::string_view line = FirstLine(hex);
  Scratch scratch;
  const std::string archivePath = scratch.Path("Prog.zip");

  // The steps one by one, in this process.
  std::vector<double> decode, decodeBlocks, write, extract;
  std::size_t archiveSize = 0, entries = 0;
  std::uint64_t unpacked = 0;
  std::vector<std::uint8_t> block(1024 * 1024);
  for (int r = 0; r < runs; ++r) {
    std::vector<std::uint8_t> archive;
    decode.push_back(TimeOnce([&] { archive = HexToBytes(line); }));
    decodeBlocks.push_back(TimeOnce([&] {
      for (std::size_t at = 0; at < line.size(); at += 2 * block.size())
        HexToBytesInto(line.substr(at, 2 * block.size()), block.data());
    }));
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

  const auto whole = RunExtractPayload(launcher, scratch, folder, runs);
  if (!whole) {
    std::fprintf(stderr, "ExtractPayload failed\n");
    return 1;
  }

  const double decodeMs = Median(decode), decodeBlocksMs = Median(decodeBlocks);
  const double extractMs = Median(extract), wholeMs = whole->milliseconds;
  const double hexGBs = hex.size() / decodeBlocksMs / 1e6;
  std::printf("Resource_1: hex text %zu bytes (memory-mapped), archive %zu bytes, %zu entries, %llu bytes "
              "unpacked; median of %d runs\n\n",
              hex.size(), archiveSize, entries, static_cast<unsigned long long>(unpacked), runs);
  std::printf("  %-44s %9.1f ms  %5.2f GB/s of hex text\n", "HexToBytes, in blocks of 1 MiB (ExtractPayload)",
              decodeBlocksMs, hexGBs);
  std::printf("  %-44s %9.1f ms  %5.2f GB/s of hex text\n", "HexToBytes, whole into a new array", decodeMs,
              hex.size() / decodeMs / 1e6);
  std::printf("  %-44s %9.1f ms\n", "temporary archive write", Median(write));
  std::printf("  %-44s %9.1f ms\n", "extraction (ZipReader)", extractMs);
  std::printf("  %-44s %9.1f ms  (%.1f ms of processor time)\n\n", "ExtractPayload, whole (own process)", wholeMs,
              whole->cpuMilliseconds);

  std::printf("  %-44s %9s   %19s   %15s\n", "peer on the same archive", "time", "ExtractPayload/peer",
              "extraction/peer");
  std::map<std::string, double> peerMs;
  for (const Peer& peer : kPeers) {
    const auto ms = RunPeer(launcher, scratch, peer, archivePath, runs);
    if (!ms) {
      std::printf("  %-44s  not available\n", peer.label);
      continue;
    }
    peerMs[peer.label] = *ms;
    std::printf("  %-44s %9.1f ms  %19.2f   %15.2f\n", peer.label, *ms, wholeMs / *ms, extractMs / *ms);
  }

  const double peakMiB = whole->peakKiB / 1024.0;
  std::printf("\n  peak memory of ExtractPayload: %.1f MiB\n", peakMiB);

  // Growth: the same operation on larger archives.
  std::printf("\n  growth of ExtractPayload (incompressible data beyond the sample; median of %d runs)\n",
              std::min(runs, 3));
  std::printf("  %-24s %14s %12s %10s %14s %12s\n", "archive", "bytes", "time", "MB/s", "peak memory",
              "bsdtar");
  const auto growthRow = [&](const std::string& label, std::size_t bytes, double ms, long peakKiB,
                             std::optional<double> bsdtarMs) {
    std::printf("  %-24s %14zu %9.0f ms %10.0f %10.1f MiB", label.c_str(), bytes, ms, bytes / ms / 1e3,
                peakKiB / 1024.0);
    if (bsdtarMs) std::printf(" %9.0f ms", *bsdtarMs);
    std::printf("\n");
  };
  const auto bsdtarIt = peerMs.find("bsdtar -xf");
  growthRow("sample (Resource_1)", archiveSize, wholeMs, whole->peakKiB,
            bsdtarIt != peerMs.end() ? std::optional<double>(bsdtarIt->second) : std::nullopt);
  long largestPeakKiB = whole->peakKiB;
  for (const std::size_t mb : growth) {
    std::size_t size = 0;
    const std::string large = MakeLargePayload(scratch, mb, size);
    const auto run = RunExtractPayload(launcher, scratch, large, std::min(runs, 3));
    const auto bsdtarMs = RunPeer(launcher, scratch, kPeers[1], large + ".zip", std::min(runs, 3));
    DelDir(Utf8ToUtf16(large));
    DelFile(Utf8ToUtf16(large + ".zip"));
    if (!run) {
      std::printf("  %zu MB: ExtractPayload failed\n", mb);
      continue;
    }
    growthRow(std::to_string(mb) + " MB generated", size, run->milliseconds, run->peakKiB, bsdtarMs);
    largestPeakKiB = std::max(largestPeakKiB, run->peakKiB);
  }

  const auto bsdtar = bsdtarIt != peerMs.end() ? std::optional<double>(bsdtarIt->second) : std::nullopt;
  std::printf("\n  targets:\n");
  if (bsdtar) {
    std::printf("    ExtractPayload at most 0.80 x bsdtar:  %.2f  %s\n", wholeMs / *bsdtar,
                Verdict(wholeMs <= 0.8 * *bsdtar));
    std::printf("    extraction at most 0.60 x bsdtar:      %.2f  %s\n", extractMs / *bsdtar,
                Verdict(extractMs <= 0.6 * *bsdtar));
  } else {
    std::printf("    ratios to bsdtar: bsdtar not available\n");
  }
  std::printf("    HexToBytes at 4 GB/s or more:          %.2f  %s\n", hexGBs, Verdict(hexGBs >= 4.0));
  std::printf("    peak memory at most 51 MiB:            %.1f  %s\n", peakMiB, Verdict(peakMiB <= 51.0));
  // Bounded whatever the payload: the two whole-entry buffers and a few MiB besides.
  const long boundKiB = 2 * (ZipReader::kWholeEntryLimit / 1024) + 8 * 1024;
  std::printf("    peak memory bounded whatever the payload (at most %.0f MiB): largest %.1f MiB  %s\n",
              boundKiB / 1024.0, largestPeakKiB / 1024.0, Verdict(largestPeakKiB <= boundKiB));
  return 0;
}
