// The end-to-end tests:
//   e2e_tests [gtest options] --program PROGRAM.exe --shots FOLDER [--payload FOLDER]
//             [--version-of PROGRAM.exe]
// (the payload's folders for the tests that compare installed files with them; a program
// whose version resource names the pages, when --program's image is too large to load)
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "tests/e2e/driver.h"
#include "util/wideText_win.h"

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::wcscmp(argv[i], L"--program") == 0) Settings().Program = FromW(argv[i + 1]);
    if (std::wcscmp(argv[i], L"--shots") == 0) Settings().Screenshots = FromW(argv[i + 1]);
    if (std::wcscmp(argv[i], L"--payload") == 0) Settings().Payload = FromW(argv[i + 1]);
    if (std::wcscmp(argv[i], L"--version-of") == 0) Settings().VersionOf = FromW(argv[i + 1]);
  }
  if (Settings().Program.empty() || Settings().Screenshots.empty()) {
    std::fputs("usage: e2e_tests [gtest options] --program PROGRAM.exe --shots FOLDER"
               " [--payload FOLDER]\n", stderr);
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
