// Outside Windows a shortcut is a small text file naming its target and working folder.
#include "install/shortcut.h"
#include "util/appError.h"
#include "util/fileSystem.h"
#include "util/textCodec.h"

void WritePlatformShortcut(const ShortcutRequest& request) {
  try {
    auto file = fsys::File::CreateNew(request.LinkFile, {});
    const std::string text = Utf16ToUtf8(u"Target=" + request.Target + u"\nArguments=" +
                                         request.Arguments + u"\nDescription=" + request.Description +
                                         u"\nWorkingDir=" + request.WorkingDir + u"\n");
    file.Write(text.data(), text.size());
    file.Close();
  } catch (const AppError&) {
    // A shortcut that cannot be saved is passed over, as on Windows.
  }
}
