// Interim: no shell link is written until the COM writer is in place.
#include "install/shortcut.h"

void WritePlatformShortcut(const ShortcutRequest&) {}
