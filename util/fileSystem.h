// The file-system primitives that the program's file routines are built on, with a
// Windows side (wide Win32 calls) and a POSIX side (UTF-8 paths). Names avoid those of
// the Win32 macros (DeleteFile, CreateDirectory, ...).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "util/clock.h"

namespace fsys {

// Paths are joined as folder + PathSep + name.
#ifdef _WIN32
inline constexpr char16_t PathSep = u'\\';
#else
inline constexpr char16_t PathSep = u'/';
#endif

bool IsFile(const std::u16string& path);  // an existing file, not a folder
bool IsDir(const std::u16string& path);   // an existing folder (a link to one counts)
bool IsLink(const std::u16string& path);  // a symbolic link or junction itself
// The same file-system object by name: full paths compared as the system compares them
// (without regard to case on Windows), trailing separators ignored.
bool SamePath(const std::u16string& a, const std::u16string& b);

bool MakeDir(const std::u16string& path);     // one level; false when it fails
bool RemoveFile(const std::u16string& path);  // false when refused
bool RemoveDir(const std::u16string& path);   // an empty folder, or a link to a folder
void ResetAttributes(const std::u16string& path);  // clears read-only, hidden, system

struct DirEntry {
  std::u16string Name;
  bool IsDir = false;   // a real folder (not a link to one)
  bool IsLink = false;  // a symbolic link or junction: never walked into
};
// The entries of a folder, without "." and ".."; empty when it cannot be read.
std::vector<DirEntry> ListDir(const std::u16string& path);

std::u16string CurrentDir();

// A folder the tree deletion must never remove: a drive root, the system's own folders
// and the user's known folders.
bool IsProtectedFolder(const std::u16string& path);

// Stamps a file with a local date and time (creation and modification) and, on Windows,
// with MS-DOS attributes; on POSIX the read-only attribute clears the write permission.
// Failures are reported by the result.
bool SetFileTimes(const std::u16string& path, const LocalDateTime& t);
bool SetDosAttributes(const std::u16string& path, std::uint32_t dosAttributes);

// An open file. Every failure throws AppError with a French message that names the file
// and gives the system's description of the cause.
class File {
public:
  static File CreateNew(const std::u16string& path);      // created, or emptied
  static File OpenForAppend(const std::u16string& path);  // created when missing, at its end
  static File OpenForRead(const std::u16string& path);
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  void Write(const void* data, std::size_t size);  // all of it, or an error
  std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t size);  // bytes read
  std::uint64_t Size();
  void Close();  // explicit close, reporting a failure

private:
  File(std::intptr_t handle, std::u16string path);
  std::intptr_t handle_;
  std::u16string path_;
};

}  // namespace fsys
