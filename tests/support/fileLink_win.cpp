#include <windows.h>

#include "tests/support/fileLink.h"
#include "util/fileSystem.h"
#include "util/wideText_win.h"

namespace {
// The host system's name of a path under Wine; empty elsewhere.
std::wstring HostName(const std::u16string& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = unixName ? unixName(W(path)) : nullptr;
  if (!name) return L"";
  std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), static_cast<int>(wide.size()));
  HeapFree(GetProcessHeap(), 0, name);
  wide.pop_back();
  return wide;
}

// Runs the host's ln under Wine, which starts host programs too. The paths are passed in
// the host's character set: keep them to ASCII.
bool HostLink(const std::u16string& link, const std::u16string& target) {
  const std::wstring hostLink = HostName(link), hostTarget = HostName(target);
  if (hostLink.empty() || hostTarget.empty()) return false;
  std::wstring command = L"ln -s \"" + hostTarget + L"\" \"" + hostLink + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // Wine does not follow a host program to its end: the link itself tells when it is made.
  for (int waited = 0; waited < 10000; waited += 20) {
    if (GetFileAttributesW(W(link)) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(20);
  }
  return false;
}
}  // namespace

bool MakeLink(const std::u16string& link, const std::u16string& target) {
  const DWORD flags = (fsys::IsDir(target) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) |
                      SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  if (CreateSymbolicLinkW(W(link), W(target), flags) && GetFileAttributesW(W(link)) != INVALID_FILE_ATTRIBUTES)
    return true;
  return HostLink(link, target);
}

bool MakeHardLink(const std::u16string& link, const std::u16string& target) {
  return CreateHardLinkW(W(link), W(target), nullptr) != 0;
}
