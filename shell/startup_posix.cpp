// Outside Windows the fixed system paths start at the file-system root and the desktop
// is the usual folder of the home.
#include <cstdlib>

#include "shell/startup.h"
#include "util/fileSystem.h"
#include "util/textCodec.h"

StartupEnvironment CurrentEnvironment() {
  const char* home = std::getenv("HOME");
  return {fsys::CurrentDir(), home ? Utf8ToUtf16(home) + u"/Desktop" : u"", u""};
}
