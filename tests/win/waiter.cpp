// TestWaiter.exe: a program for the process tests. It has no window and waits until it
// is killed. Started, it writes the show mode it was given to its own path + ".show"
// and then releases the semaphore "OrvelinTestWaiterStarted" when that exists, so
// that a test knows that it runs and how it was shown.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showMode) {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    const std::wstring report = std::wstring(self, length) + L".show";
    const HANDLE file = CreateFileW(report.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      const std::string text = std::to_string(showMode);
      DWORD written = 0;
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
      CloseHandle(file);
    }
  }
  if (const HANDLE started = OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, L"OrvelinTestWaiterStarted")) {
    ReleaseSemaphore(started, 1, nullptr);
    CloseHandle(started);
  }
  Sleep(INFINITE);
  return 0;
}
