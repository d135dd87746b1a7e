// File-system primitives on Windows: wide Win32 calls, MS-DOS attributes.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "util/fileSystem.h"
#include "util/fileSystemErrors.h"
#include "util/wideText_win.h"

namespace fsys {
namespace {
std::u16string Cause(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string cause = length ? FromW(text, length) : std::u16string();
  LocalFree(text);
  while (!cause.empty() && (cause.back() == u'\r' || cause.back() == u'\n' || cause.back() == u' '))
    cause.pop_back();
  return cause;
}

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

// Full path, without a trailing "\" except after a drive letter alone.
std::u16string FullPath(const std::u16string& path) {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetFullPathNameW(W(path), MAX_PATH * 4, buffer, nullptr);
  std::u16string full = (n > 0 && n < MAX_PATH * 4) ? FromW(buffer, n) : path;
  while (full.size() > 3 && (full.back() == u'\\' || full.back() == u'/')) full.pop_back();
  return full;
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

// A folder's identity on its volume: the same folder whatever name leads to it (a short
// 8.3 name, a "\\?\" prefix, a path through a junction).
struct FolderId {
  DWORD Volume = 0;
  DWORD IndexHigh = 0, IndexLow = 0;
  bool operator==(const FolderId&) const = default;
};

std::optional<FolderId> IdentityOf(const std::u16string& folder) {
  HANDLE h = CreateFileW(W(folder), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
  wchar_t value[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
  return n > 0 && n < MAX_PATH ? FromW(value, n) : u"";
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

// The root of the volume that holds the folder, when it can be told.
std::u16string VolumeRootOf(const std::u16string& folder) {
  wchar_t root[MAX_PATH];
  return GetVolumePathNameW(W(folder), root, MAX_PATH) ? FromW(root) : u"";
}
}  // namespace

bool IsFile(const std::u16string& path) {
  const DWORD a = GetFileAttributesW(W(path));
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDir(const std::u16string& path) {
  const DWORD a = GetFileAttributesW(W(path));
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsLink(const std::u16string& path) {
  const DWORD a = GetFileAttributesW(W(path));
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool SamePath(const std::u16string& a, const std::u16string& b) {
  return SameText(FullPath(a), FullPath(b));
}

bool MakeDir(const std::u16string& path) { return CreateDirectoryW(W(path), nullptr) != 0; }
bool RemoveFile(const std::u16string& path) { return DeleteFileW(W(path)) != 0; }
bool RemoveDir(const std::u16string& path) { return RemoveDirectoryW(W(path)) != 0; }
void ResetAttributes(const std::u16string& path) {
  SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);
}

std::vector<DirEntry> ListDir(const std::u16string& path) {
  std::vector<DirEntry> entries;
  WIN32_FIND_DATAW data;
  const std::u16string pattern = path + u"\\*";
  HANDLE find = FindFirstFileW(W(pattern), &data);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::u16string name = FromW(data.cFileName);
    if (name == u"." || name == u"..") continue;
    const bool link = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
    const bool dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !link;
    entries.push_back({name, dir, link});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return entries;
}

std::u16string CurrentDir() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring buffer(size, L'\0');
  const DWORD n = GetCurrentDirectoryW(size, buffer.data());
  return FromW(buffer.c_str(), n);
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
  const std::u16string root = VolumeRootOf(full);
  return !root.empty() && IdentityOf(root) == id;
}

bool SetFileTimes(const std::u16string& path, const LocalDateTime& t) {
  SYSTEMTIME local = {static_cast<WORD>(t.Year),   static_cast<WORD>(t.Month),
                      0,                            static_cast<WORD>(t.Day),
                      static_cast<WORD>(t.Hour),   static_cast<WORD>(t.Minute),
                      static_cast<WORD>(t.Second), static_cast<WORD>(t.Millisecond)};
  SYSTEMTIME utc;
  FILETIME stamp;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &stamp))
    return false;
  HANDLE file = CreateFileW(W(path), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool done = SetFileTime(file, &stamp, nullptr, &stamp) != 0;
  CloseHandle(file);
  return done;
}

bool SetDosAttributes(const std::u16string& path, std::uint32_t dosAttributes) {
  const DWORD kept = dosAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  return SetFileAttributesW(W(path), kept ? kept : FILE_ATTRIBUTE_NORMAL) != 0;
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

namespace {
std::intptr_t OpenHandle(const std::u16string& path, DWORD access, DWORD share, DWORD disposition,
                         FileOperation operation) {
  HANDLE h = CreateFileW(W(path), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) ThrowFileError(operation, path, Cause(GetLastError()));
  return reinterpret_cast<std::intptr_t>(h);
}
}  // namespace

File File::CreateNew(const std::u16string& path) {
  return File(OpenHandle(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FileOperation::Create), path);
}

File File::OpenForAppend(const std::u16string& path) {
  File file(OpenHandle(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS,
                       FileOperation::Open),
            path);
  LARGE_INTEGER zero{};
  if (!SetFilePointerEx(AsHandle(file.handle_), zero, nullptr, FILE_END))
    ThrowFileError(FileOperation::Open, path, Cause(GetLastError()));
  return file;
}

File File::OpenForRead(const std::u16string& path) {
  return File(OpenHandle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FileOperation::Open), path);
}

void File::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(AsHandle(handle_), bytes, chunk, &written, nullptr))
      ThrowFileError(FileOperation::Write, path_, Cause(GetLastError()));
    if (written == 0) ThrowFileError(FileOperation::Write, path_, Cause(ERROR_DISK_FULL));
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
      ThrowFileError(FileOperation::Read, path_, Cause(error));
    }
    if (read == 0) break;
    done += read;
  }
  return done;
}

std::uint64_t File::Size() {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(AsHandle(handle_), &size)) ThrowFileError(FileOperation::Read, path_, Cause(GetLastError()));
  return static_cast<std::uint64_t>(size.QuadPart);
}

void File::Close() {
  const std::intptr_t h = std::exchange(handle_, -1);
  if (h != -1 && !CloseHandle(AsHandle(h))) ThrowFileError(FileOperation::Close, path_, Cause(GetLastError()));
}

}  // namespace fsys
