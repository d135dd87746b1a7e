// Small helpers shared by the Windows tests.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/errorOf.h"
#include "util/wideText_win.h"

// The folder of the running test program, where the helper programs are built too.
inline std::u16string TestProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::u16string full = FromW(path, length);
  return full.substr(0, full.rfind(u'\\'));
}

// Registry checks through the plain Win32 calls, in a chosen view (the program's keys
// live in the 32-bit one).
constexpr REGSAM View32 = KEY_WOW64_32KEY;
constexpr REGSAM View64 = KEY_WOW64_64KEY;

HKEY Root(std::uint32_t root);

struct RawValue {
  DWORD Type = REG_NONE;
  std::vector<std::uint8_t> Data;
};
std::optional<RawValue> ReadRaw(std::uint32_t root, const std::u16string& path,
                                const std::u16string& name, REGSAM view = View32);
bool KeyPresent(std::uint32_t root, const std::u16string& path, REGSAM view = View32);

// What the shell-link object reads back from a link file.
struct LinkSettings {
  std::u16string Target, Arguments, Description, WorkingDir;
};
LinkSettings LoadLink(const std::u16string& linkFile);

// A text for a test's messages, in UTF-8.
std::string Narrow(const std::u16string& text);
