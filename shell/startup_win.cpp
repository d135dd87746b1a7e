// On Windows the desktop comes from the shell and the fixed paths lie on drive C:.
#include <windows.h>
#include <shlobj.h>

#include "shell/startup.h"
#include "util/fileSystem.h"
#include "util/wideText_win.h"

StartupEnvironment CurrentEnvironment() {
  wchar_t desktop[MAX_PATH] = {};  // a failed call leaves it empty
  SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, desktop);
  return {fsys::CurrentDir(), FromW(desktop), u"C:"};
}
