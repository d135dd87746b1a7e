#include "util/systemError_win.h"

#include "util/wideText_win.h"

std::u16string SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string cause = length ? FromW(text, length) : std::u16string();
  LocalFree(text);
  while (!cause.empty() && (cause.back() == u'\r' || cause.back() == u'\n' || cause.back() == u' '))
    cause.pop_back();
  return cause;
}
