// File-system primitives on Windows: wide Win32 calls on long paths ("\\?\"), MS-DOS
// attributes. Entries are removed, created and changed through handles opened on the
// entry itself (FILE_FLAG_OPEN_REPARSE_POINT), and a handle is trusted only when the
// system resolves it to the path asked for: a link or a junction on the way shows as
// another path, on every system, also where links are not reported as reparse points.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "util/fileSystem.h"
#include "util/fileSystemErrors.h"
#include "util/systemError_win.h"
#include "util/wideText_win.h"

namespace fsys {
namespace {
HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

// Closes a handle when the holder goes.
class ScopedHandle {
public:
  explicit ScopedHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ScopedHandle(ScopedHandle&& other) noexcept : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    std::swap(h_, other.h_);
    return *this;
  }
  ~ScopedHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }

private:
  HANDLE h_;
};

// A text that a Win32 call fills in: asked once for its size, then again.
template <typename Call>
std::u16string Filled(Call call) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int tries = 0; tries < 3; ++tries) {
    const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return u"";
    if (n < buffer.size()) return FromW(buffer.c_str(), n);
    buffer.assign(n + 1, L'\0');
  }
  return u"";
}

bool StartsWith(const std::u16string& text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// Full path, without a trailing "\" except after a drive letter alone.
std::u16string FullPath(const std::u16string& path) {
  std::u16string full = Filled([&](wchar_t* b, DWORD n) { return GetFullPathNameW(W(path), n, b, nullptr); });
  if (full.empty()) full = path;
  while (full.size() > 3 && (full.back() == u'\\' || full.back() == u'/')) full.pop_back();
  return full;
}

// The form of a path that every Win32 file call takes, whatever its length: the full
// path behind the "\\?\" prefix ("\\?\UNC\" for a share).
std::u16string Long(const std::u16string& path) {
  std::u16string full = FullPath(path);
  if (StartsWith(full, u"\\\\?\\") || StartsWith(full, u"\\\\.\\")) return full;
  if (StartsWith(full, u"\\\\")) return u"\\\\?\\UNC\\" + full.substr(2);
  if (full.size() >= 2 && full[1] == u':') {
    if (full.size() == 2) full += u'\\';
    return u"\\\\?\\" + full;
  }
  return full;
}

// A path without its "\\?\" prefix, as the user writes it.
std::u16string Plain(const std::u16string& path) {
  if (StartsWith(path, u"\\\\?\\UNC\\")) return u"\\\\" + path.substr(8);
  if (StartsWith(path, u"\\\\?\\")) return path.substr(4);
  return path;
}

bool SameText(const std::u16string& a, const std::u16string& b) {
  return CompareStringOrdinal(W(a), -1, W(b), -1, TRUE) == CSTR_EQUAL;
}

bool IsRoot(const std::u16string& full) {
  // "X:" or "X:\", and the share root "\\server\share".
  if (full.size() <= 3 && full.size() >= 2 && full[1] == u':') return true;
  if (full.rfind(u"\\\\", 0) == 0) {
    const auto server = full.find(u'\\', 2);
    return server == std::u16string::npos || full.find(u'\\', server + 1) == std::u16string::npos;
  }
  return false;
}

// The path with its long names instead of 8.3 short ones (which hold a "~"), as far as
// it exists.
std::u16string LongNames(const std::u16string& path) {
  if (path.find(u'~') == std::u16string::npos) return path;
  const std::u16string names = Filled([&](wchar_t* b, DWORD n) { return GetLongPathNameW(W(Long(path)), b, n); });
  return names.empty() ? path : Plain(names);
}

// The folder that holds an entry, named by its full path ("C:\" for "C:\x").
std::u16string Parent(const std::u16string& full) {
  const auto cut = full.rfind(u'\\');
  if (cut == std::u16string::npos) return full;
  return full.substr(0, cut == 2 && full[1] == u':' ? 3 : cut);
}

std::u16string WithoutTrailingSeparator(std::u16string path) {
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  return path;
}

// Where the system resolves an open handle: every link and junction followed.
std::u16string Resolved(HANDLE h) {
  return WithoutTrailingSeparator(Plain(Filled([&](wchar_t* b, DWORD n) {
    return GetFinalPathNameByHandleW(h, b, n, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  })));
}

struct EntryKind {
  bool Directory = false;
  bool Link = false;  // the entry itself is a link, as the system reports it
};

std::optional<EntryKind> KindOf(HANDLE h) {
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!GetFileInformationByHandleEx(h, FileAttributeTagInfo, &info, sizeof info)) return std::nullopt;
  return EntryKind{(info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                   (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkReparseTag(info.ReparseTag)};
}

// True when the entry open as h, named full, is reached from the folder `within` (empty:
// its own folder) through no link: the system resolves it to the folder's own place
// followed by the rest of the name. Where the system cannot resolve paths, nothing can
// be compared and the entry counts as reached directly.
bool ReachedFrom(HANDLE h, const std::u16string& full, const std::u16string& within) {
  const std::u16string anchor = within.empty() ? Parent(full) : FullPath(within);
  ScopedHandle anchorHandle(CreateFileW(W(Long(anchor)), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!anchorHandle) return false;
  const std::u16string resolvedEntry = Resolved(h);
  const std::u16string resolvedAnchor = Resolved(anchorHandle.Get());
  if (resolvedEntry.empty() || resolvedAnchor.empty()) return true;
  const std::u16string name = LongNames(full), folder = WithoutTrailingSeparator(LongNames(anchor));
  const std::u16string rest = name.substr(std::min(folder.size(), name.size()));
  if (!SameText(name.substr(0, folder.size()), folder) || (!rest.empty() && rest[0] != u'\\')) return false;
  return SameText(resolvedEntry, resolvedAnchor + rest);
}

// The entry at a path itself, a link not followed.
struct Entry {
  ScopedHandle Handle;
  bool Missing = false;   // nothing lies there
  std::u16string Failure;  // the cause when it cannot be opened or is reached through a link
};

Entry OpenEntry(const std::u16string& full, const std::u16string& within, DWORD access) {
  Entry entry;
  entry.Handle = ScopedHandle(CreateFileW(W(Long(full)), access,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
  if (!entry.Handle) {
    const DWORD error = GetLastError();
    entry.Missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    if (!entry.Missing) entry.Failure = SystemErrorText(error);
  } else if (!ReachedFrom(entry.Handle.Get(), full, within)) {
    entry.Handle = ScopedHandle();
    entry.Failure = kReachedThroughLink;
  }
  return entry;
}

bool MarkForDeletion(HANDLE h) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(h, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

enum class Deletable { Files, FoldersAndLinks };

struct Deletion {
  bool Deleted = false;    // it went
  std::u16string Failure;  // the cause when it is there and did not go
};

// Deletes the entry at path itself: a file, or an empty folder or any link.
Deletion DeleteEntry(const std::u16string& path, const std::u16string& within, Deletable what) {
  Entry entry = OpenEntry(FullPath(path), within, DELETE | FILE_READ_ATTRIBUTES);
  if (entry.Missing) return {};
  if (!entry.Failure.empty()) return {false, entry.Failure};
  const auto kind = KindOf(entry.Handle.Get());
  if (!kind) return {false, SystemErrorText(GetLastError())};
  const bool allowed = what == Deletable::Files ? !kind->Directory : kind->Directory || kind->Link;
  if (!allowed) return {false, SystemErrorText(ERROR_ACCESS_DENIED)};
  if (!MarkForDeletion(entry.Handle.Get())) return {false, SystemErrorText(GetLastError())};
  return {true, {}};
}

// A folder's identity on its volume: the same folder whatever name leads to it (a short
// 8.3 name, a "\\?\" prefix, a path through a junction).
struct FolderId {
  DWORD Volume = 0;
  DWORD IndexHigh = 0, IndexLow = 0;
  bool operator==(const FolderId&) const = default;
};

std::optional<FolderId> IdentityOf(const std::u16string& folder) {
  HANDLE h = CreateFileW(W(Long(folder)), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  // Some file systems (network shares among them) give no index: no identity then.
  if (!known || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)) return std::nullopt;
  return FolderId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::u16string Environment(const wchar_t* name) {
  return Filled([&](wchar_t* b, DWORD n) { return GetEnvironmentVariableW(name, b, n); });
}

// The folders that the system itself, or every user, depends on. A 32-bit process on
// 64-bit Windows cannot ask for the 64-bit Program Files folders (their known-folder
// queries fail, and FOLDERID_ProgramFiles names "Program Files (x86)"): the environment
// names them, and the literal path stands in where it does not.
std::vector<std::u16string> SystemFolders() {
  const KNOWNFOLDERID* ids[] = {
      &FOLDERID_Windows,         &FOLDERID_System,           &FOLDERID_SystemX86,
      &FOLDERID_ProgramFiles,    &FOLDERID_ProgramFilesX86,  &FOLDERID_ProgramFilesX64,
      &FOLDERID_ProgramFilesCommon, &FOLDERID_ProgramFilesCommonX86, &FOLDERID_ProgramFilesCommonX64,
      &FOLDERID_ProgramData,     &FOLDERID_CommonStartMenu,  &FOLDERID_CommonPrograms,
      &FOLDERID_CommonStartup,   &FOLDERID_CommonTemplates,  &FOLDERID_PublicDesktop,
      &FOLDERID_Public,          &FOLDERID_PublicDocuments,  &FOLDERID_UserProfiles,
      &FOLDERID_Profile,         &FOLDERID_Desktop,          &FOLDERID_Documents,
      &FOLDERID_Downloads,       &FOLDERID_Music,            &FOLDERID_Pictures,
      &FOLDERID_Videos,          &FOLDERID_Favorites,        &FOLDERID_RoamingAppData,
      &FOLDERID_LocalAppData,    &FOLDERID_LocalAppDataLow,  &FOLDERID_StartMenu,
      &FOLDERID_Programs,        &FOLDERID_Startup,          &FOLDERID_Templates,
      &FOLDERID_SendTo,          &FOLDERID_Recent,           &FOLDERID_SavedGames,
      &FOLDERID_Contacts,        &FOLDERID_Links,            &FOLDERID_Fonts};
  std::vector<std::u16string> list;
  for (const KNOWNFOLDERID* id : ids) {
    wchar_t* path = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(*id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path)
      list.push_back(FromW(path));
    CoTaskMemFree(path);
  }
  std::u16string programFiles = Environment(L"ProgramW6432");
  if (programFiles.empty()) programFiles = u"C:\\Program Files";
  std::u16string commonFiles = Environment(L"CommonProgramW6432");
  if (commonFiles.empty()) commonFiles = programFiles + u"\\Common Files";
  // Sysnative: the 64-bit System32 as a 32-bit process names it.
  const std::u16string windows = Environment(L"SystemRoot");
  for (const std::u16string& folder : {programFiles, commonFiles, windows + u"\\Sysnative"})
    if (!folder.empty()) list.push_back(folder);
  return list;
}

struct ProtectedList {
  std::vector<std::u16string> Paths;  // full paths
  std::vector<FolderId> Ids;          // of those that exist
};

const ProtectedList& ProtectedFolders() {
  static const ProtectedList folders = [] {
    ProtectedList list;
    for (const std::u16string& folder : SystemFolders()) {
      list.Paths.push_back(FullPath(folder));
      if (const auto id = IdentityOf(folder)) list.Ids.push_back(*id);
    }
    return list;
  }();
  return folders;
}

}  // namespace

bool IsFile(const std::u16string& path) {
  const DWORD a = GetFileAttributesW(W(Long(path)));
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDir(const std::u16string& path) {
  const DWORD a = GetFileAttributesW(W(Long(path)));
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsLink(const std::u16string& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(W(Long(path)), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkReparseTag(data.dwReserved0);
}

bool SamePath(const std::u16string& a, const std::u16string& b) {
  return SameText(FullPath(a), FullPath(b));
}

std::u16string VolumeRoot(const std::u16string& path) {
  const std::u16string full = Long(path);
  std::wstring root(full.size() + 1, L'\0');
  if (!GetVolumePathNameW(W(full), root.data(), static_cast<DWORD>(root.size()))) return u"";
  return Plain(FromW(root.c_str()));
}

bool IsFullPath(const std::u16string& path) {
  const bool drive = path.size() >= 3 && ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) &&
                     path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
  return drive || StartsWith(path, u"\\\\");
}

bool MakeDir(const std::u16string& path) { return CreateDirectoryW(W(Long(path)), nullptr) != 0; }

bool RemoveFile(const std::u16string& path, const std::u16string& within) {
  return DeleteEntry(path, within, Deletable::Files).Deleted;
}

bool RemoveDir(const std::u16string& path, const std::u16string& within) {
  return DeleteEntry(path, within, Deletable::FoldersAndLinks).Deleted;
}

void ResetAttributes(const std::u16string& path, const std::u16string& within) {
  Entry entry = OpenEntry(FullPath(path), within, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
  FILE_BASIC_INFO info{};
  if (!entry.Handle || !GetFileInformationByHandleEx(entry.Handle.Get(), FileBasicInfo, &info, sizeof info))
    return;
  // Only the three that stop a removal; a folder stays a folder, a link a link.
  info.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  SetFileInformationByHandle(entry.Handle.Get(), FileBasicInfo, &info, sizeof info);
}

std::vector<DirEntry> ListDir(const std::u16string& path) {
  std::vector<DirEntry> entries;
  WIN32_FIND_DATAW data;
  const std::u16string pattern = WithoutTrailingSeparator(Long(path)) + u"\\*";
  HANDLE find = FindFirstFileW(W(pattern), &data);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::u16string name = FromW(data.cFileName);
    if (name == u"." || name == u"..") continue;
    const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkReparseTag(data.dwReserved0);
    const bool dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !link;
    entries.push_back({name, dir, link});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return entries;
}

std::u16string CurrentDir() {
  return Filled([](wchar_t* b, DWORD n) { return GetCurrentDirectoryW(n, b); });
}

bool IsProtectedFolder(const std::u16string& path) {
  const std::u16string full = FullPath(path);
  if (IsRoot(full)) return true;
  const ProtectedList& folders = ProtectedFolders();
  for (const auto& known : folders.Paths)
    if (SameText(full, known)) return true;
  // Another name of a protected folder or of a volume's root.
  const auto id = IdentityOf(full);
  if (!id) return false;
  if (std::find(folders.Ids.begin(), folders.Ids.end(), *id) != folders.Ids.end()) return true;
  const std::u16string root = VolumeRoot(full);
  return !root.empty() && IdentityOf(root) == id;
}

namespace {
bool SetAttributesOf(HANDLE h, std::uint32_t dosAttributes) {
  FILE_BASIC_INFO info{};
  if (!GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info)) return false;
  const DWORD kept = dosAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  info.FileAttributes = (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) | kept;
  if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  return SetFileInformationByHandle(h, FileBasicInfo, &info, sizeof info) != 0;
}
}  // namespace

bool SetDosAttributes(const std::u16string& path, std::uint32_t dosAttributes) {
  Entry entry = OpenEntry(FullPath(path), {}, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
  return entry.Handle && SetAttributesOf(entry.Handle.Get(), dosAttributes);
}

File::File(std::intptr_t handle, std::u16string path) : handle_(handle), path_(std::move(path)) {}
File::File(File&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
  other.handle_ = -1;
}
File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (handle_ != -1) CloseHandle(AsHandle(handle_));
    handle_ = std::exchange(other.handle_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}
File::~File() {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
}

File File::CreateNew(const std::u16string& path, const std::u16string& within) {
  const std::u16string full = FullPath(path);
  if (const Deletion old = DeleteEntry(full, within, Deletable::Files); !old.Failure.empty())
    ThrowFileError(FileOperation::Create, path, old.Failure);
  // CREATE_NEW opens nothing that exists, a link put there meanwhile included.
  HANDLE h = CreateFileW(W(Long(full)), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) ThrowFileError(FileOperation::Create, path, SystemErrorText(GetLastError()));
  File file(reinterpret_cast<std::intptr_t>(h), path);
  if (!ReachedFrom(h, full, within)) {
    file.Delete();  // ours, wherever it landed
    ThrowFileError(FileOperation::Create, path, kReachedThroughLink);
  }
  return file;
}

File File::OpenForAppend(const std::u16string& path) {
  const std::u16string full = FullPath(path);
  HANDLE h = CreateFileW(W(Long(full)), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) ThrowFileError(FileOperation::Open, path, SystemErrorText(GetLastError()));
  const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
  File file(reinterpret_cast<std::intptr_t>(h), path);
  const auto kind = KindOf(h);
  if ((kind && kind->Link) || !ReachedFrom(h, full, {})) {
    if (created) file.Delete();  // made through a dangling link: ours to remove
    ThrowFileError(FileOperation::Open, path, kReachedThroughLink);
  }
  LARGE_INTEGER zero{};
  if (!SetFilePointerEx(h, zero, nullptr, FILE_END))
    ThrowFileError(FileOperation::Open, path, SystemErrorText(GetLastError()));
  return file;
}

File File::OpenForRead(const std::u16string& path) {
  HANDLE h = CreateFileW(W(Long(path)), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) ThrowFileError(FileOperation::Open, path, SystemErrorText(GetLastError()));
  return File(reinterpret_cast<std::intptr_t>(h), path);
}

void File::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(AsHandle(handle_), bytes, chunk, &written, nullptr))
      ThrowFileError(FileOperation::Write, path_, SystemErrorText(GetLastError()));
    if (written == 0) ThrowFileError(FileOperation::Write, path_, SystemErrorText(ERROR_DISK_FULL));
    bytes += written;
    size -= written;
  }
}

std::size_t File::ReadAt(std::uint64_t offset, void* data, std::size_t size) {
  std::size_t done = 0;
  auto* bytes = static_cast<char*>(data);
  while (done < size) {
    const std::size_t left = size - done;
    const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
    OVERLAPPED at{};
    const std::uint64_t position = offset + done;
    at.Offset = static_cast<DWORD>(position);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    DWORD read = 0;
    if (!ReadFile(AsHandle(handle_), bytes + done, chunk, &read, &at)) {
      const DWORD error = GetLastError();
      if (error == ERROR_HANDLE_EOF) break;
      ThrowFileError(FileOperation::Read, path_, SystemErrorText(error));
    }
    if (read == 0) break;
    done += read;
  }
  return done;
}

std::uint64_t File::Size() {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(AsHandle(handle_), &size))
    ThrowFileError(FileOperation::Read, path_, SystemErrorText(GetLastError()));
  return static_cast<std::uint64_t>(size.QuadPart);
}

bool File::SetTimes(const LocalDateTime& t) {
  SYSTEMTIME local = {static_cast<WORD>(t.Year),   static_cast<WORD>(t.Month),
                      0,                            static_cast<WORD>(t.Day),
                      static_cast<WORD>(t.Hour),   static_cast<WORD>(t.Minute),
                      static_cast<WORD>(t.Second), static_cast<WORD>(t.Millisecond)};
  SYSTEMTIME utc;
  FILETIME stamp;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &stamp))
    return false;
  return SetFileTime(AsHandle(handle_), &stamp, nullptr, &stamp) != 0;
}

bool File::SetDosAttributes(std::uint32_t dosAttributes) {
  return SetAttributesOf(AsHandle(handle_), dosAttributes);
}

void File::Close() {
  const std::intptr_t h = std::exchange(handle_, -1);
  if (h != -1 && !CloseHandle(AsHandle(h)))
    ThrowFileError(FileOperation::Close, path_, SystemErrorText(GetLastError()));
}

bool File::Delete() {
  const std::intptr_t h = std::exchange(handle_, -1);
  if (h == -1) return false;
  const bool marked = MarkForDeletion(AsHandle(h));
  return CloseHandle(AsHandle(h)) && marked;
}

}  // namespace fsys
