// Times ExtractPayload of Resource_1 in the Windows build, under Wine or Windows: the
// program carries the payload as the setup program does, and unpacks it as the install
// run does, into a fresh folder below the current directory, the given number of times.
//
//   payload_timer.exe [RUNS]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "install/payload.h"
#include "shell/defGlVar.h"
#include "util/appError.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  InstallSettings.WorkDir = fsys::CurrentDir();
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  for (int r = 0; r < runs; ++r) {
    const std::u16string dest = InstallSettings.WorkDir + u"\\payload-timer-" + std::u16string(1, u'0' + r % 10);
    DelDir(dest);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    try {
      ExtractPayload(u"Resource_1", u"Prog", dest);
    } catch (const AppError& e) {
      std::fprintf(stderr, "ExtractPayload failed\n");
      return 1;
    }
    QueryPerformanceCounter(&end);
    times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    DelDir(dest);
  }
  std::sort(times.begin(), times.end());
  std::printf("ExtractPayload(Resource_1): median %.1f ms, fastest %.1f ms, slowest %.1f ms over %d runs\n",
              times[times.size() / 2], times.front(), times.back(), runs);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
    std::printf("peak working set %.1f MiB, peak private memory %.1f MiB\n", counters.PeakWorkingSetSize / 1048576.0,
                counters.PeakPagefileUsage / 1048576.0);
  return 0;
}
