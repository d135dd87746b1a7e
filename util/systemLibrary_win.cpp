#include "util/systemLibrary_win.h"

#include <commctrl.h>

#include <map>
#include <string>

void RestrictDllSearch() {
  // Windows 7 has SetDefaultDllDirectories only with its update KB2533623.
  using SetDefaultFn = BOOL(WINAPI*)(DWORD);
  const auto setDefault = reinterpret_cast<SetDefaultFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  SetDllDirectoryW(L"");  // at least the current folder leaves the search
}

namespace {
// True when the module was loaded from below the Windows folder (System32, SysWOW64,
// the side-by-side store).
bool FromWindowsFolder(HMODULE module) {
  wchar_t path[MAX_PATH], windows[MAX_PATH];
  const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  const UINT w = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  return n > 0 && n < MAX_PATH && w > 0 && w < MAX_PATH && n > w && path[w] == L'\\' &&
         CompareStringOrdinal(path, static_cast<int>(w), windows, static_cast<int>(w), TRUE) == CSTR_EQUAL;
}

HMODULE LoadSystemLibrary(const wchar_t* dll) {
  // By name first, so that the manifest's choice of a side-by-side version applies
  // (common controls 6). A copy of that name that something loaded from elsewhere
  // before is not ours to use.
  if (HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    if (FromWindowsFolder(module)) return module;
    FreeLibrary(module);
  }
  // Then the system folder's own copy, by its full path.
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, n) + L"\\" + dll;
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Without the search flags (Windows 7 without its update) the path alone serves.
  if (!module && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadLibraryW(path.c_str());
  return module;
}
}  // namespace

FARPROC SystemFunction(const wchar_t* dll, const char* name) {
  // Each DLL is loaded once and kept for the process's life, as an import would be.
  static std::map<std::wstring, HMODULE> loaded;
  auto found = loaded.find(dll);
  if (found == loaded.end()) found = loaded.emplace(dll, LoadSystemLibrary(dll)).first;
  return found->second ? GetProcAddress(found->second, name) : nullptr;
}

void RegisterCommonControls(DWORD classes) {
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = SystemFunction<InitFn>(L"comctl32.dll", "InitCommonControlsEx");
  INITCOMMONCONTROLSEX controls{sizeof controls, classes};
  if (init) init(&controls);
}
