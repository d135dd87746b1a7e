// A payload of 1 GB: Resource_2 an archive of 10^9 bytes of incompressible data, so that
// its hexadecimal text (2 GB) takes most of the 32-bit program's image. The program,
// large-address-aware, installs it as it installs the sample, with its memory bounded.
// Run only by the large-payload test (tests/large/install-large), which builds that
// program and gives it here with --program, and its payload's folders with --payload.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
using LargePayload = CleanMachine;

constexpr DWORD kLargeRunLimit = 15 * 60 * 1000;  // ms: far more than the run takes

std::string Narrow(const std::u16string& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, W(text), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, W(text), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
  return narrow;
}

// The files below a folder, with their paths relative to it.
void ListFiles(const std::u16string& root, const std::u16string& relative, std::vector<std::u16string>& files) {
  WIN32_FIND_DATAW data;
  const std::u16string folder = relative.empty() ? root : root + u"\\" + relative;
  HANDLE find = FindFirstFileW(W(folder + u"\\*"), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::u16string name = FromW(data.cFileName);
    if (name == u"." || name == u"..") continue;
    const std::u16string path = relative.empty() ? name : relative + u"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListFiles(root, path, files);
    else
      files.push_back(path);
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

// Two files hold the same bytes, compared a block at a time.
bool SameBytes(const std::u16string& a, const std::u16string& b) {
  HANDLE fa = CreateFileW(W(a), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE fb = CreateFileW(W(b), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  bool same = fa != INVALID_HANDLE_VALUE && fb != INVALID_HANDLE_VALUE;
  std::vector<char> ba(4 << 20), bb(4 << 20);
  while (same) {
    DWORD na = 0, nb = 0;
    same = ReadFile(fa, ba.data(), static_cast<DWORD>(ba.size()), &na, nullptr) &&
           ReadFile(fb, bb.data(), static_cast<DWORD>(bb.size()), &nb, nullptr) && na == nb &&
           std::equal(ba.begin(), ba.begin() + na, bb.begin());
    if (na == 0) break;
  }
  if (fa != INVALID_HANDLE_VALUE) CloseHandle(fa);
  if (fb != INVALID_HANDLE_VALUE) CloseHandle(fb);
  return same;
}

std::uint64_t SizeOf(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(W(path), GetFileExInfoStandard, &data)) return 0;
  return std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
}
}  // namespace

TEST_F(LargePayload, AOneGigabyteArchiveInstallsWithThe32BitProgram) {
  const std::u16string source = Settings().Payload + u"\\Resource_2";
  std::vector<std::u16string> files;
  ListFiles(source, u"", files);
  std::uint64_t total = 0;
  for (const auto& file : files) total += SizeOf(source + u"\\" + file);
  ASSERT_GE(total, 1'000'000'000u) << "the payload's data: 1 GB";

  SetupProcess setup;
  HWND install = OpenInstallPage(setup);
  ASSERT_TRUE(install);
  EXPECT_TRUE(IsChecked(Control(install, cbInstDoss)));
  const DWORD start = GetTickCount();
  ASSERT_TRUE(Click(Control(install, btnInstall)));
  // Finished, or stopped by an error box: no need to wait for the limit then.
  ASSERT_TRUE(WaitUntil([&] { return IsFinished(install) || VisibleWindows(setup.Id()).size() > 1; },
                        kLargeRunLimit));
  const std::vector<HWND> windows = VisibleWindows(setup.Id());
  for (HWND window : windows)
    if (window != install) ADD_FAILURE() << "a box: " << Narrow(ReadBox(window).Message);
  ASSERT_TRUE(IsFinished(install));
  std::printf("install run: %.1f s\n", (GetTickCount() - start) / 1000.0);

  // What the run took, as the system counts it (private memory, where Wine tells it).
  if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, setup.Id())) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, &counters, sizeof counters))
      std::printf("peak working set %.1f MiB, peak private memory %.1f MiB\n",
                  counters.PeakWorkingSetSize / 1048576.0, counters.PeakPagefileUsage / 1048576.0);
    CloseHandle(process);
  }

  ASSERT_TRUE(Click(Control(install, btnAnnul)));
  ASSERT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  ExpectProgramInstalled(kInstallDir);
  for (const auto& file : files) {
    SCOPED_TRACE(Narrow(file));
    const std::u16string installed = kProjDir + u"\\" + file;
    ASSERT_TRUE(Exists(installed));
    EXPECT_EQ(SizeOf(installed), SizeOf(source + u"\\" + file));
    EXPECT_TRUE(SameBytes(installed, source + u"\\" + file));
  }
  EXPECT_FALSE(Exists(SetupProcess::WorkFolder() + u"\\Data.zip"));
  EXPECT_FALSE(Exists(SetupProcess::WorkFolder() + u"\\Prog.zip"));
}
