#include "util/utlFiles.h"

#include <algorithm>

#include "util/appError.h"
#include "util/fileSystem.h"
#include "util/textCodec.h"
#include "util/utlDialogs.h"

using fsys::PathSep;

void ForceDirs(const std::u16string& path) {
  std::vector<std::u16string> missing;
  std::u16string p = path;
  while (!p.empty() && !fsys::IsDir(p)) {
    missing.push_back(p);
    const auto cut = p.rfind(PathSep);
    if (cut == std::u16string::npos || cut == 0) break;
    p.resize(cut);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) fsys::MakeDir(*it);
}

int DelFile(const std::u16string& name) {
  if (!fsys::IsFile(name)) return -1;
  return fsys::RemoveFile(name) ? 0 : 1;
}

namespace {
bool IsKept(const std::u16string& path, const std::vector<std::u16string>& keep) {
  return std::any_of(keep.begin(), keep.end(),
                     [&](const std::u16string& k) { return fsys::SamePath(path, k); });
}

// True when the whole tree went.
bool DeleteTree(const std::u16string& folder, const std::vector<std::u16string>& keep) {
  if (IsKept(folder, keep) || fsys::IsProtectedFolder(folder)) return false;
  fsys::ResetAttributes(folder);  // a read-only folder must let its entries go first
  bool all = true;
  for (const auto& entry : fsys::ListDir(folder)) {
    const std::u16string path = folder + PathSep + entry.Name;
    fsys::ResetAttributes(path);
    if (entry.IsDir)
      all = DeleteTree(path, keep) && all;
    else if (entry.IsLink)
      all = (fsys::RemoveDir(path) || fsys::RemoveFile(path)) && all;  // the link, not its target
    else
      all = fsys::RemoveFile(path) && all;
  }
  fsys::ResetAttributes(folder);
  return all && fsys::RemoveDir(folder);
}

// The retry loop of the two writing routines: attempt until it works or the user says No.
template <typename Attempt>
int WithRetry(Attempt attempt) {
  for (;;) {
    try {
      attempt();
      return 0;
    } catch (const AppError& error) {
      if (MsgDlg(error.Message() + u"\r\n\r\nRéessayer ?", u"YN", u"Y", u"E") == u"N") return 1;
    }
  }
}
}  // namespace

int DelDir(const std::u16string& path, const std::vector<std::u16string>& keep) {
  if (!fsys::IsDir(path)) return 1;
  if (fsys::IsLink(path))
    fsys::RemoveDir(path);  // a link to a folder goes; the folder it names stays
  else
    DeleteTree(path, keep);
  return 0;
}

int WriteBytesToFile(const std::u16string& name, const std::vector<std::uint8_t>& bytes) {
  return WithRetry([&] {
    auto file = fsys::File::CreateNew(name);
    file.Write(bytes.data(), bytes.size());
    file.Close();
  });
}

int AppendToFile(const std::u16string& name, std::u16string_view text) {
  const std::string encoded = ToAnsi(text);
  return WithRetry([&] {
    auto file = fsys::File::OpenForAppend(name);
    file.Write(encoded.data(), encoded.size());
    file.Close();
  });
}
