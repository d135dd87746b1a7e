#include <windows.h>

#include "tests/support/fileLock.h"
#include "util/wideText_win.h"

FileLock::FileLock(const std::u16string& path) {
  // No sharing at all: neither deletion nor writing by anyone else.
  HANDLE h = CreateFileW(W(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  handle_ = reinterpret_cast<std::intptr_t>(h);
}

FileLock::~FileLock() {
  if (reinterpret_cast<HANDLE>(handle_) != INVALID_HANDLE_VALUE) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool FileLock::Supported() { return true; }
