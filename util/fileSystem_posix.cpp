// File-system primitives on POSIX systems: UTF-8 paths, permissions for attributes.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

#include "util/fileSystem.h"
#include "util/fileSystemErrors.h"
#include "util/textCodec.h"

namespace fsys {
namespace {
std::string Native(const std::u16string& path) { return Utf16ToUtf8(path); }
std::u16string Cause(int error) { return Utf8ToUtf16(std::strerror(error)); }

bool StatOf(const std::u16string& path, struct stat& st) {
  return ::stat(Native(path).c_str(), &st) == 0;
}

// The canonical form of a folder path, for comparisons: links resolved, no trailing "/".
std::string Canonical(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved)) return resolved;
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

std::string Absolute(const std::string& path) {
  std::string p;
  if (path.empty() || path[0] != '/') {
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd)) p = cwd;
    p += '/';
  }
  p += path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

std::string ParentOf(const std::string& absolute) {
  const auto cut = absolute.rfind('/');
  return cut == 0 || cut == std::string::npos ? "/" : absolute.substr(0, cut);
}

// True when the folder that holds the entry is reached from within (empty: that folder
// itself) through no link: resolved, it is within's own place followed by the rest of
// its name. The entry itself is never followed by the callers (lstat, unlink,
// O_NOFOLLOW).
bool ReachedFrom(const std::string& entry, const std::u16string& within) {
  const std::string absolute = Absolute(entry), folder = ParentOf(absolute);
  const std::string anchor = Absolute(Native(within));
  if (within.empty() || absolute == anchor) return true;
  const std::string base = anchor == "/" ? "" : anchor;
  if (folder.compare(0, base.size(), base) != 0) return false;
  const std::string rest = folder.substr(base.size());
  if (!rest.empty() && rest[0] != '/') return false;
  const std::string resolved = Canonical(anchor);
  return Canonical(folder) == (resolved != "/" ? resolved + rest : rest.empty() ? resolved : rest);
}
}  // namespace

bool IsFile(const std::u16string& path) {
  struct stat st{};
  return StatOf(path, st) && !S_ISDIR(st.st_mode);
}

bool IsDir(const std::u16string& path) {
  struct stat st{};
  return StatOf(path, st) && S_ISDIR(st.st_mode);
}

bool IsLink(const std::u16string& path) {
  struct stat st{};
  return ::lstat(Native(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool SamePath(const std::u16string& a, const std::u16string& b) {
  return Canonical(Native(a)) == Canonical(Native(b));
}

std::u16string VolumeRoot(const std::u16string&) { return u"/"; }

bool IsFullPath(const std::u16string& path) { return !path.empty() && path[0] == u'/'; }

bool MakeDir(const std::u16string& path) { return ::mkdir(Native(path).c_str(), 0777) == 0; }

bool RemoveFile(const std::u16string& path, const std::u16string& within) {
  struct stat st{};
  const std::string p = Native(path);
  if (::lstat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || !ReachedFrom(p, within)) return false;
  return ::unlink(p.c_str()) == 0;
}

bool RemoveDir(const std::u16string& path, const std::u16string& within) {
  const std::string p = Native(path);
  struct stat st{};
  if (::lstat(p.c_str(), &st) != 0 || !ReachedFrom(p, within)) return false;
  if (S_ISLNK(st.st_mode)) return ::unlink(p.c_str()) == 0;
  return ::rmdir(p.c_str()) == 0;
}

void ResetAttributes(const std::u16string& path, const std::u16string& within) {
  const std::string p = Native(path);
  struct stat st{};
  if (::lstat(p.c_str(), &st) != 0 || S_ISLNK(st.st_mode) || !ReachedFrom(p, within)) return;
  const mode_t wanted = S_ISDIR(st.st_mode) ? (S_IRWXU) : (S_IRUSR | S_IWUSR);
  ::chmod(p.c_str(), (st.st_mode & 07777) | wanted);
}

std::vector<DirEntry> ListDir(const std::u16string& path) {
  std::vector<DirEntry> entries;
  const std::string folder = Native(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return entries;
  while (const dirent* e = ::readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    struct stat st{};
    const std::string full = folder + "/" + e->d_name;
    if (::lstat(full.c_str(), &st) != 0) continue;
    entries.push_back({Utf8ToUtf16(e->d_name), S_ISDIR(st.st_mode), S_ISLNK(st.st_mode)});
  }
  ::closedir(dir);
  return entries;
}

std::u16string CurrentDir() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) ? Utf8ToUtf16(buffer) : std::u16string();
}

// The root, the top-level system folders and the user's home.
bool IsProtectedFolder(const std::u16string& path) {
  const std::string p = Canonical(Native(path));
  if (p.empty() || p == "/") return true;
  if (p.find('/', 1) == std::string::npos) return true;
  const char* home = std::getenv("HOME");
  return home && *home && p == Canonical(home);
}

namespace {
mode_t WithDosAttributes(mode_t mode, std::uint32_t dosAttributes) {
  mode &= 07777;
  if (dosAttributes & 0x01) return mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  return mode | S_IWUSR;
}
}  // namespace

bool SetDosAttributes(const std::u16string& path, std::uint32_t dosAttributes) {
  const std::string p = Native(path);
  struct stat st{};
  if (::lstat(p.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return false;
  return ::chmod(p.c_str(), WithDosAttributes(st.st_mode, dosAttributes)) == 0;
}

File::File(std::intptr_t handle, std::u16string path) : handle_(handle), path_(std::move(path)) {}
File::File(File&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
  other.handle_ = -1;
}
File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = std::exchange(other.handle_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}
File::~File() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

File File::CreateNew(const std::u16string& path, const std::u16string& within) {
  const std::string p = Native(path);
  if (!ReachedFrom(p, within)) ThrowFileError(FileOperation::Create, path, kReachedThroughLink);
  struct stat st{};
  if (::lstat(p.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) ThrowFileError(FileOperation::Create, path, Cause(EISDIR));
    if (::unlink(p.c_str()) != 0) ThrowFileError(FileOperation::Create, path, Cause(errno));  // a link itself
  }
  // O_EXCL opens nothing that exists, a link put there meanwhile included.
  const int fd = ::open(p.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) ThrowFileError(FileOperation::Create, path, Cause(errno));
  File file(fd, path);
  if (!ReachedFrom(p, within)) {
    file.Delete();
    ThrowFileError(FileOperation::Create, path, kReachedThroughLink);
  }
  return file;
}

File File::OpenForAppend(const std::u16string& path) {
  const int fd = ::open(Native(path).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) ThrowFileError(FileOperation::Open, path, errno == ELOOP ? kReachedThroughLink : Cause(errno));
  File file(fd, path);
  if (::lseek(fd, 0, SEEK_END) < 0) ThrowFileError(FileOperation::Open, path, Cause(errno));
  return file;
}

File File::OpenForRead(const std::u16string& path) {
  const int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowFileError(FileOperation::Open, path, Cause(errno));
  return File(fd, path);
}

void File::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(static_cast<int>(handle_), bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ThrowFileError(FileOperation::Write, path_, Cause(n < 0 ? errno : ENOSPC));
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
}

std::size_t File::ReadAt(std::uint64_t offset, void* data, std::size_t size) {
  std::size_t done = 0;
  auto* bytes = static_cast<char*>(data);
  while (done < size) {
    const ssize_t n = ::pread(static_cast<int>(handle_), bytes + done, size - done,
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowFileError(FileOperation::Read, path_, Cause(errno));
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::uint64_t File::Size() {
  struct stat st{};
  if (::fstat(static_cast<int>(handle_), &st) != 0) ThrowFileError(FileOperation::Read, path_, Cause(errno));
  return static_cast<std::uint64_t>(st.st_size);
}

bool File::SetTimes(const LocalDateTime& t) {
  tm local{};
  local.tm_year = t.Year - 1900;
  local.tm_mon = t.Month - 1;
  local.tm_mday = t.Day;
  local.tm_hour = t.Hour;
  local.tm_min = t.Minute;
  local.tm_sec = t.Second;
  local.tm_isdst = -1;
  const time_t seconds = std::mktime(&local);
  if (seconds == static_cast<time_t>(-1)) return false;
  const timespec times[2] = {{seconds, t.Millisecond * 1000000L}, {seconds, t.Millisecond * 1000000L}};
  return ::futimens(static_cast<int>(handle_), times) == 0;
}

bool File::SetDosAttributes(std::uint32_t dosAttributes) {
  struct stat st{};
  const int fd = static_cast<int>(handle_);
  return ::fstat(fd, &st) == 0 && ::fchmod(fd, WithDosAttributes(st.st_mode, dosAttributes)) == 0;
}

void File::Close() {
  const int fd = static_cast<int>(std::exchange(handle_, -1));
  if (fd >= 0 && ::close(fd) != 0) ThrowFileError(FileOperation::Close, path_, Cause(errno));
}

bool File::Delete() {
  const int fd = static_cast<int>(std::exchange(handle_, -1));
  if (fd < 0) return false;
  // The name goes only while it still names this very file.
  struct stat open{}, named{};
  const std::string p = Native(path_);
  const bool same = ::fstat(fd, &open) == 0 && ::lstat(p.c_str(), &named) == 0 &&
                    open.st_dev == named.st_dev && open.st_ino == named.st_ino;
  const bool deleted = same && ::unlink(p.c_str()) == 0;
  ::close(fd);
  return deleted;
}

}  // namespace fsys
