#include "install/shortcut.h"

#include <utility>

#include "shell/defGlVar.h"

namespace {
ShortcutWriter& Writer() {
  static ShortcutWriter writer;
  return writer;
}
}  // namespace

ShortcutWriter SetShortcutWriter(ShortcutWriter writer) {
  return std::exchange(Writer(), std::move(writer));
}

void CreateShortcut(const std::u16string& target, const std::u16string& linkFile,
                    const std::u16string& description, const std::u16string& arguments) {
  const ShortcutRequest request{target, linkFile, description, arguments, InstallSettings.InstallDir};
  if (Writer())
    Writer()(request);
  else
    WritePlatformShortcut(request);
}
