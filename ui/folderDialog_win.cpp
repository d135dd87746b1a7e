#include "ui/folderDialog_win.h"

#include <shobjidl.h>

#include "util/wideText_win.h"

namespace {
template <typename Interface>
struct Com {
  Interface* Pointer = nullptr;
  Com() = default;
  Com(Com&& other) noexcept : Pointer(other.Pointer) { other.Pointer = nullptr; }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (Pointer) Pointer->Release();
  }
  Interface* operator->() const { return Pointer; }
};

// The folder itself when it exists, else the nearest parent that does.
Com<IShellItem> ExistingFolder(std::u16string path) {
  Com<IShellItem> item;
  while (!path.empty()) {
    const DWORD attributes = GetFileAttributesW(W(path));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        SUCCEEDED(SHCreateItemFromParsingName(W(path), nullptr, IID_PPV_ARGS(&item.Pointer))))
      break;
    const auto cut = path.find_last_of(u"\\/");
    path.resize(cut == std::u16string::npos ? 0 : cut);
  }
  return item;
}
}  // namespace

std::optional<std::u16string> ChooseFolder(HWND owner, const std::u16string& title,
                                           const std::u16string& initialFolder) {
  Com<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&dialog.Pointer))))
    return std::nullopt;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(W(title));
  if (Com<IShellItem> start = ExistingFolder(initialFolder); start.Pointer)
    dialog->SetFolder(start.Pointer);
  if (FAILED(dialog->Show(owner))) return std::nullopt;  // cancelled

  Com<IShellItem> chosen;
  PWSTR path = nullptr;
  if (FAILED(dialog->GetResult(&chosen.Pointer)) ||
      FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)))
    return std::nullopt;
  std::u16string result = FromW(path);
  CoTaskMemFree(path);
  return result;
}
