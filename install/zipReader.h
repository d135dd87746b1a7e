// The reader of the payload archives: ZIP files whose entries are deflated (zlib's
// inflate), found through the central directory and extracted below a folder. Every
// failure throws AppError with a French message that names the archive and the entry.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "util/clock.h"
#include "util/fileSystem.h"

struct ZipEntry {
  std::u16string Name;  // as stored, with "/" separators
  LocalDateTime Modified;
  std::uint32_t DosAttributes = 0;
  std::uint32_t Crc32 = 0;
  std::uint32_t CompressedSize = 0;
  std::uint32_t Size = 0;
  std::uint64_t DataOffset = 0;  // where the deflated bytes begin
};

class ZipReader {
public:
  // Opens the archive and reads its central directory. Every entry is checked here, its
  // local header and its name included, so that an archive with a name that would leave
  // the destination, an unsupported feature or a record outside the file is refused
  // before anything is written.
  explicit ZipReader(const std::u16string& archivePath);
  // The same, read through a file already open, which must outlive the reader; name
  // stands for the archive in the messages.
  ZipReader(fsys::File& archive, std::u16string name);

  // The entries in central-directory order.
  const std::vector<ZipEntry>& Entries() const { return entries_; }

  // Extracts every entry below destination, in order: missing folders are created (the
  // destination included), existing files replaced, CRC-32 and sizes verified, times
  // and MS-DOS attributes set. An entry that fails leaves no file of its own behind;
  // the entries before it stay. Nothing is written through a link below destination:
  // a folder on the way that is a link fails the entry, a file that is one is removed.
  void ExtractAll(const std::u16string& destination);

  void Close();  // closes the archive file when the reader opened it

private:
  void ReadCentralDirectory();
  void MakeFolders(const ZipEntry& entry, const std::u16string& destination, const std::u16string& relative);
  void ExtractEntry(const ZipEntry& entry, const std::u16string& path, const std::u16string& destination);
  std::u16string Inflate(const ZipEntry& entry, fsys::File& out);
  [[noreturn]] void Fail(const std::u16string& detail) const;
  [[noreturn]] void FailEntry(const std::u16string& name, const std::u16string& detail) const;

  std::u16string path_;
  std::optional<fsys::File> own_;  // when the reader opened the archive itself
  fsys::File* file_;
  std::vector<ZipEntry> entries_;
};
