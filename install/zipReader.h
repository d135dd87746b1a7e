// The reader of the payload archives: ZIP files whose entries are deflated, found
// through the central directory and extracted below a folder. Every failure throws
// AppError with a French message that names the archive and the entry.
//
// Entries up to a bound (16 MiB packed and unpacked) are read whole and inflated by
// libdeflate into one buffer, checked and written at once; larger ones, and any entry
// that libdeflate finds damaged, are streamed through zlib's inflate in bounded
// chunks, which also gives the reason of a failure. Memory stays within about twice
// the bound whatever the archive's size.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "util/clock.h"
#include "util/fileSystem.h"

struct libdeflate_decompressor;

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

  // The largest entry, packed and unpacked, inflated whole; above it, entries stream.
  static constexpr std::uint32_t kWholeEntryLimit = 16 * 1024 * 1024;
  // For the tests and the fuzzer: another bound (0: every entry streams, as the reader
  // always did).
  void SetWholeEntryLimit(std::uint32_t bytes) { wholeLimit_ = bytes; }

private:
  void ReadCentralDirectory();
  void MakeFolders(const ZipEntry& entry, const std::u16string& destination, const std::u16string& relative);
  void ExtractEntry(const ZipEntry& entry, const std::u16string& path, const std::u16string& destination);
  std::u16string Inflate(const ZipEntry& entry, fsys::File& out);
  bool InflateWhole(const ZipEntry& entry, fsys::File& out);
  std::u16string InflateStreaming(const ZipEntry& entry, fsys::File& out);
  [[noreturn]] void Fail(const std::u16string& detail) const;
  [[noreturn]] void FailEntry(const std::u16string& name, const std::u16string& detail) const;

  std::u16string path_;
  std::optional<fsys::File> own_;  // when the reader opened the archive itself
  fsys::File* file_;
  std::vector<ZipEntry> entries_;
  std::uint32_t wholeLimit_ = kWholeEntryLimit;
  // The whole-entry buffers, grown to the largest entry that needs them.
  struct Buffer {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
    std::uint8_t* Reserve(std::size_t n);
  };
  Buffer packed_, unpacked_;
  std::shared_ptr<libdeflate_decompressor> decompressor_;
};
