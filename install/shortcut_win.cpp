// Shortcuts on Windows: a shell link written through the shell's link object, on the
// thread's COM apartment that the program entry opened.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "install/shortcut.h"
#include "util/appError.h"
#include "util/wideText_win.h"

namespace {

// One COM interface, released when the holder goes.
template <class Interface>
class ComRef {
public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (pointer_) pointer_->Release();
  }

  void** Out() { return reinterpret_cast<void**>(&pointer_); }
  Interface* operator->() const { return pointer_; }

private:
  Interface* pointer_ = nullptr;
};

}  // namespace

void WritePlatformShortcut(const ShortcutRequest& request) {
  ComRef<IUnknown> object;
  ComRef<IShellLinkW> link;
  ComRef<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.Out())) ||
      FAILED(object->QueryInterface(IID_IShellLinkW, link.Out())) ||
      FAILED(object->QueryInterface(IID_IPersistFile, file.Out())))
    throw AppError(FillIn(ShortcutObjectUnavailable, request.LinkFile));

  // A shortcut is not worth stopping the run for: what the setters and the save answer
  // is not looked at, and a failed save leaves no link file.
  link->SetArguments(W(request.Arguments));
  link->SetDescription(W(request.Description));
  link->SetPath(W(request.Target));
  link->SetWorkingDirectory(W(request.WorkingDir));
  file->Save(W(request.LinkFile), FALSE);
}
