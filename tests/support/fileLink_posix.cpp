#include <unistd.h>

#include "tests/support/fileLink.h"
#include "util/textCodec.h"

bool MakeLink(const std::u16string& link, const std::u16string& target) {
  return ::symlink(Utf16ToUtf8(target).c_str(), Utf16ToUtf8(link).c_str()) == 0;
}

bool MakeHardLink(const std::u16string& link, const std::u16string& target) {
  return ::link(Utf16ToUtf8(target).c_str(), Utf16ToUtf8(link).c_str()) == 0;
}
