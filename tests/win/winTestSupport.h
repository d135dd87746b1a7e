// Small helpers shared by the Windows tests.
#pragma once
#include <windows.h>

#include <string>

#include "util/appError.h"
#include "util/wideText_win.h"

// The message of the AppError that call raises, or "(no error)".
template <class Call>
std::u16string ErrorOf(Call call) {
  try {
    call();
  } catch (const AppError& error) {
    return error.Message();
  }
  return u"(no error)";
}

// The folder of the running test program, where the helper programs are built too.
inline std::u16string TestProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::u16string full = FromW(path, length);
  return full.substr(0, full.rfind(u'\\'));
}
