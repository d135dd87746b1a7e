// The file-system primitives that the program's file routines are built on, with a
// Windows side (wide Win32 calls) and a POSIX side (UTF-8 paths). Names avoid those of
// the Win32 macros (DeleteFile, CreateDirectory, ...).
//
// The program runs as administrator, often in folders that the user's other programs
// can write. Whatever removes, creates or changes an entry therefore acts on the entry
// itself, never on what a link there names, and refuses an entry reached through a
// link below a given folder `within` (empty: the entry's own folder, so that only the
// entry itself must not be a link).
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
// The root of the volume that holds path ("C:\", "\\server\share\", "/").
std::u16string VolumeRoot(const std::u16string& path);
// A path from the root of a drive or a share ("C:\...", "\\server\..."; "/..." on POSIX),
// not one relative to the current folder.
bool IsFullPath(const std::u16string& path);

// Of a Windows reparse point's tag: whether the point names another place (a symbolic
// link, a junction), so that it is a link and never walked into. Other reparse points
// (files of a synced cloud folder, deduplicated files) are ordinary entries. A point
// whose tag the system does not tell counts as a link.
bool IsLinkReparseTag(std::uint32_t tag);

bool MakeDir(const std::u16string& path);  // one level; false when it fails
// False when refused, when there is no such entry, or when it is reached through a link.
bool RemoveFile(const std::u16string& path, const std::u16string& within = {});
// An empty folder, or a link to a folder (the link goes, not what it names).
bool RemoveDir(const std::u16string& path, const std::u16string& within = {});
// Clears read-only, hidden and system.
void ResetAttributes(const std::u16string& path, const std::u16string& within = {});

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

// Stamps a file with MS-DOS attributes; on POSIX the read-only attribute clears the
// write permission. Failures are reported by the result.
bool SetDosAttributes(const std::u16string& path, std::uint32_t dosAttributes);

// An open file. Every failure throws AppError with a French message that names the file
// and gives the system's description of the cause.
class File {
public:
  // A file created new, open for reading and writing; others may read it but neither
  // change, rename nor delete it while it is open. Whatever file or link lay at path is
  // removed first (a folder stays, and the creation fails), and nothing put there
  // meanwhile is opened. A file reached through a link below within is removed again
  // and refused.
  static File CreateNew(const std::u16string& path, const std::u16string& within);
  // At its end, created when missing; refused when path is a link.
  static File OpenForAppend(const std::u16string& path);
  static File OpenForRead(const std::u16string& path);
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  void Write(const void* data, std::size_t size);  // all of it, or an error
  std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t size);  // bytes read
  std::uint64_t Size();
  // The creation and modification times, as a local date and time, and the MS-DOS
  // attributes: false when the system refuses.
  bool SetTimes(const LocalDateTime& t);
  bool SetDosAttributes(std::uint32_t dosAttributes);
  void Close();  // explicit close, reporting a failure
  // Deletes the open file itself, whatever its path names by now, and closes it; false
  // when the system refuses (the file is closed all the same).
  bool Delete();

private:
  File(std::intptr_t handle, std::u16string path);
  std::intptr_t handle_;
  std::u16string path_;
};

}  // namespace fsys
