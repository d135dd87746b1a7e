#include "util/utlFiles.h"

#include <algorithm>
#include <optional>

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

// True when the whole tree went. Nothing below top is reached through a link: an entry
// swapped for one meanwhile is left alone.
bool DeleteTree(const std::u16string& folder, const std::u16string& top,
                const std::vector<std::u16string>& keep) {
  if (IsKept(folder, keep) || fsys::IsProtectedFolder(folder)) return false;
  fsys::ResetAttributes(folder, top);  // a read-only folder must let its entries go first
  bool all = true;
  for (const auto& entry : fsys::ListDir(folder)) {
    const std::u16string path = folder + PathSep + entry.Name;
    fsys::ResetAttributes(path, top);
    if (entry.IsDir)
      all = DeleteTree(path, top, keep) && all;
    else if (entry.IsLink)
      all = (fsys::RemoveDir(path, top) || fsys::RemoveFile(path, top)) && all;  // the link, not its target
    else
      all = fsys::RemoveFile(path, top) && all;
  }
  fsys::ResetAttributes(folder, top);
  return all && fsys::RemoveDir(folder, top);
}

// The retry loop of the two writing routines: attempts until one works or the user says
// No; then the error of the last attempt.
template <typename Attempt>
std::optional<AppError> WithRetry(Attempt attempt) {
  for (;;) {
    try {
      attempt();
      return std::nullopt;
    } catch (const AppError& error) {
      if (MsgDlg(error.Message() + u"\r\n\r\nRéessayer ?", u"YN", u"Y", u"E") == u"N") return error;
    }
  }
}

// One attempt: the bytes in a file created new, where nothing else may lead it (the
// whole path free of links).
fsys::File CreateAndWrite(const std::u16string& name, const std::function<void(fsys::File&)>& write) {
  auto file = fsys::File::CreateNew(name, fsys::VolumeRoot(name));
  write(file);
  return file;
}

std::function<void(fsys::File&)> Writing(const std::vector<std::uint8_t>& bytes) {
  return [&bytes](fsys::File& file) { file.Write(bytes.data(), bytes.size()); };
}
}  // namespace

int DelDir(const std::u16string& path, const std::vector<std::u16string>& keep) {
  if (!fsys::IsDir(path)) return 1;
  if (fsys::IsLink(path))
    fsys::RemoveDir(path);  // a link to a folder goes; the folder it names stays
  else
    DeleteTree(path, path, keep);
  return 0;
}

int WriteBytesToFile(const std::u16string& name, const std::vector<std::uint8_t>& bytes) {
  return WithRetry([&] { CreateAndWrite(name, Writing(bytes)).Close(); }) ? 1 : 0;
}

fsys::File WriteBytesToNewFile(const std::u16string& name, const std::vector<std::uint8_t>& bytes) {
  return WriteToNewFile(name, Writing(bytes));
}

fsys::File WriteToNewFile(const std::u16string& name, const std::function<void(fsys::File&)>& write) {
  std::optional<fsys::File> written;
  if (const auto error = WithRetry([&] { written = CreateAndWrite(name, write); })) throw *error;
  return std::move(*written);
}

int AppendToFile(const std::u16string& name, std::u16string_view text) {
  const std::string encoded = ToAnsi(text);
  return WithRetry([&] {
    auto file = fsys::File::OpenForAppend(name);
    file.Write(encoded.data(), encoded.size());
    file.Close();
  }) ? 1 : 0;
}
