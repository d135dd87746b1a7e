#include "install/zipReader.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <new>
#include <string_view>

#include "install/zipFormat.h"
#include "util/appError.h"
#include "util/textCodec.h"
#include "util/utlFiles.h"

using fsys::PathSep;

namespace {
// Bounded buffers: the archive is streamed from its file, never held whole.
constexpr std::size_t kInputChunk = 128 * 1024;
constexpr std::size_t kOutputChunk = 256 * 1024;

std::u16string Ascii(const std::string& text) { return {text.begin(), text.end()}; }

std::u16string Hex16(std::uint16_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::u16string hex = u"0x";
  for (int shift = 12; shift >= 0; shift -= 4) hex += static_cast<char16_t>(kDigits[(value >> shift) & 0xF]);
  return hex;
}

const char16_t* NameFaultText(zip::NameFault fault) {
  using zip::NameFault;
  switch (fault) {
    case NameFault::None: break;
    case NameFault::Empty: return u"son nom est vide";
    case NameFault::NotUtf8: return u"son nom n'est pas un texte UTF-8 valide";
    case NameFault::Backslash: return u"son nom contient une barre oblique inverse";
    case NameFault::Absolute: return u"son nom est un chemin absolu";
    case NameFault::Drive: return u"son nom désigne un lecteur";
    case NameFault::EmptyComponent: return u"son nom contient un élément vide";
    case NameFault::DotComponent: return u"son nom contient un élément « . » ou « .. »";
    case NameFault::BadCharacter: return u"son nom contient un caractère interdit";
    case NameFault::BadEnding: return u"son nom contient un élément terminé par un point ou une espace";
    case NameFault::Device: return u"son nom désigne un périphérique de Windows";
  }
  return u"";
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A message of the file layer continuing ours: lower-case start, no final stop (ours ends it).
std::u16string Continued(std::u16string detail) {
  if (!detail.empty() && detail[0] >= u'A' && detail[0] <= u'Z') detail[0] = static_cast<char16_t>(detail[0] + 32);
  if (!detail.empty() && detail.back() == u'.') detail.pop_back();
  return detail;
}

struct InflateStream {
  z_stream z{};
  bool ready = inflateInit2(&z, -MAX_WBITS) == Z_OK;  // raw deflate, as ZIP stores it
  ~InflateStream() {
    if (ready) inflateEnd(&z);
  }
};
}  // namespace

ZipReader::ZipReader(const std::u16string& archivePath)
    : path_(archivePath), own_(fsys::File::OpenForRead(archivePath)), file_(&*own_) {
  ReadCentralDirectory();
}

ZipReader::ZipReader(fsys::File& archive, std::u16string name) : path_(std::move(name)), file_(&archive) {
  ReadCentralDirectory();
}

void ZipReader::Fail(const std::u16string& detail) const {
  throw AppError(u"Impossible de lire l'archive \"" + path_ + u"\" : " + detail + u".");
}

void ZipReader::FailEntry(const std::u16string& name, const std::u16string& detail) const {
  throw AppError(u"Impossible d'extraire l'entrée \"" + name + u"\" de l'archive \"" + path_ +
                 u"\" : " + detail + u".");
}

void ZipReader::ReadCentralDirectory() {
  using zip::EndRecord, zip::CentralHeader, zip::LocalHeader;
  const auto readExactly = [this](std::uint64_t offset, std::uint8_t* data, std::size_t size) {
    if (file_->ReadAt(offset, data, size) != size) Fail(u"elle est tronquée");
  };

  // The end record: searched backwards, its comment reaching exactly the end of the file.
  const std::uint64_t fileSize = file_->Size();
  if (fileSize < EndRecord::kSize) Fail(u"ce n'est pas une archive ZIP, ou elle est tronquée");
  const std::size_t tailSize =
      static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, EndRecord::kSize + EndRecord::kMaxComment));
  std::vector<std::uint8_t> tail(tailSize);
  readExactly(fileSize - tailSize, tail.data(), tailSize);
  std::size_t at = tailSize - EndRecord::kSize + 1;
  for (;;) {
    if (at == 0) Fail(u"ce n'est pas une archive ZIP, ou elle est tronquée");
    --at;
    if (zip::Get32(&tail[at]) == zip::kEndSignature &&
        at + EndRecord::kSize + zip::Get16(&tail[at + EndRecord::Offset::CommentLength]) == tailSize)
      break;
  }
  const std::uint64_t endOffset = fileSize - tailSize + at;
  const EndRecord end = zip::Read<EndRecord>(&tail[at]);
  tail = {};

  std::uint8_t locator[4] = {};
  if (endOffset >= 20) readExactly(endOffset - 20, locator, sizeof locator);
  if (end.Entries == zip::kZip64Marker16 || end.EntriesOnDisk == zip::kZip64Marker16 ||
      end.CentralSize == zip::kZip64Marker32 || end.CentralOffset == zip::kZip64Marker32 ||
      zip::Get32(locator) == zip::kZip64LocatorSignature)
    Fail(u"le format ZIP64 n'est pas pris en charge");
  if (end.Disk != 0 || end.CentralDisk != 0 || end.EntriesOnDisk != end.Entries)
    Fail(u"les archives en plusieurs volumes ne sont pas prises en charge");
  if (std::uint64_t{end.CentralOffset} + end.CentralSize > endOffset)
    Fail(u"son répertoire central sort du fichier");

  std::vector<std::uint8_t> central(end.CentralSize);
  readExactly(end.CentralOffset, central.data(), central.size());
  std::size_t pos = 0;
  for (unsigned i = 0; i < end.Entries; ++i) {
    if (central.size() - pos < CentralHeader::kSize || zip::Get32(&central[pos]) != zip::kCentralSignature)
      Fail(u"son répertoire central est endommagé");
    const CentralHeader h = zip::Read<CentralHeader>(&central[pos]);
    const std::size_t recordSize = CentralHeader::kSize + h.NameLength + h.ExtraLength + h.CommentLength;
    if (central.size() - pos < recordSize) Fail(u"son répertoire central est endommagé");
    const std::string_view rawName(reinterpret_cast<const char*>(&central[pos + CentralHeader::kSize]),
                                   h.NameLength);
    pos += recordSize;

    ZipEntry entry;
    entry.Name = Utf8ToUtf16(rawName);
    if (h.CompressedSize == zip::kZip64Marker32 || h.Size == zip::kZip64Marker32 ||
        h.LocalHeaderOffset == zip::kZip64Marker32 || h.DiskStart == zip::kZip64Marker16)
      FailEntry(entry.Name, u"le format ZIP64 n'est pas pris en charge");
    if (h.DiskStart != 0) Fail(u"les archives en plusieurs volumes ne sont pas prises en charge");
    if (h.Flags & zip::kFlagEncrypted) FailEntry(entry.Name, u"elle est chiffrée");
    if (h.Flags & zip::kFlagDataDescriptor)
      FailEntry(entry.Name, u"elle utilise un descripteur de données, non pris en charge");
    if (h.Flags & ~zip::kFlagsSupported)
      FailEntry(entry.Name, u"indicateurs non pris en charge (" + Hex16(h.Flags) + u")");
    if (h.Method != zip::kMethodDeflate)
      FailEntry(entry.Name, u"méthode de compression non prise en charge (" + Ascii(std::to_string(h.Method)) + u")");
    if (!(h.Flags & zip::kFlagUtf8) && !IsAscii(rawName))
      FailEntry(entry.Name, u"son nom n'est pas codé en UTF-8");
    if (const zip::NameFault fault = zip::CheckEntryName(rawName); fault != zip::NameFault::None)
      FailEntry(entry.Name, std::u16string(u"nom refusé, ") + NameFaultText(fault));
    const zip::DosStamp stamp{h.Date, h.Time};
    if (!zip::IsValidDosStamp(stamp)) FailEntry(entry.Name, u"sa date est invalide");

    // The local header must lie before the central directory and repeat what it says.
    std::vector<std::uint8_t> local(LocalHeader::kSize + h.NameLength);
    if (std::uint64_t{h.LocalHeaderOffset} + local.size() > end.CentralOffset)
      FailEntry(entry.Name, u"son en-tête local sort du fichier");
    readExactly(h.LocalHeaderOffset, local.data(), local.size());
    if (zip::Get32(local.data()) != zip::kLocalSignature)
      FailEntry(entry.Name, u"son en-tête local est absent");
    const LocalHeader l = zip::Read<LocalHeader>(local.data());
    const std::string_view localName(reinterpret_cast<const char*>(&local[LocalHeader::kSize]), h.NameLength);
    if (l.Flags != h.Flags || l.Method != h.Method || l.Crc32 != h.Crc32 ||
        l.CompressedSize != h.CompressedSize || l.Size != h.Size || l.NameLength != h.NameLength ||
        localName != rawName)
      FailEntry(entry.Name, u"son en-tête local ne correspond pas au répertoire central");
    entry.DataOffset = std::uint64_t{h.LocalHeaderOffset} + LocalHeader::kSize + l.NameLength + l.ExtraLength;
    if (entry.DataOffset + h.CompressedSize > end.CentralOffset)
      FailEntry(entry.Name, u"ses données sortent du fichier");

    entry.Modified = zip::FromDosStamp(stamp);
    entry.DosAttributes = h.ExternalAttributes & 0xFF;
    entry.Crc32 = h.Crc32;
    entry.CompressedSize = h.CompressedSize;
    entry.Size = h.Size;
    entries_.push_back(std::move(entry));
  }
  if (pos != central.size()) Fail(u"son répertoire central est endommagé");
}

void ZipReader::ExtractAll(const std::u16string& destination) {
  // The whole-entry buffers at once at their largest: grown entry by entry, the memory
  // given back would stay with the process's heap, and its peak would grow with the
  // archive instead of staying at the largest entry.
  std::size_t largestPacked = 1, largestUnpacked = 0;
  for (const ZipEntry& entry : entries_)
    if (entry.Size <= wholeLimit_ && entry.CompressedSize <= wholeLimit_) {
      largestPacked = std::max<std::size_t>(largestPacked, entry.CompressedSize);
      largestUnpacked = std::max<std::size_t>(largestUnpacked, entry.Size);
    }
  try {
    packed_.Reserve(largestPacked);
    unpacked_.Reserve(largestUnpacked + 1);
  } catch (const std::bad_alloc&) {
    packed_ = {};
    unpacked_ = {};  // each entry tries again, and streams when it cannot have them
  }
  for (const ZipEntry& entry : entries_) {
    std::u16string relative = entry.Name;
    std::replace(relative.begin(), relative.end(), u'/', PathSep);
    MakeFolders(entry, destination, relative);
    ExtractEntry(entry, destination + PathSep + relative, destination);
  }
}

// The destination with its missing parents, then the entry's folders below it one by
// one, none of which may be a link.
void ZipReader::MakeFolders(const ZipEntry& entry, const std::u16string& destination,
                            const std::u16string& relative) {
  ForceDirs(destination);
  std::u16string folder = destination;
  for (std::size_t at = 0;; ++at) {
    if (!fsys::IsDir(folder)) FailEntry(entry.Name, u"impossible de créer le dossier \"" + folder + u"\"");
    const std::size_t next = relative.find(PathSep, at);
    if (next == std::u16string::npos) return;
    folder = destination + PathSep + relative.substr(0, next);
    if (fsys::IsLink(folder)) FailEntry(entry.Name, u"le dossier \"" + folder + u"\" est un lien");
    if (!fsys::IsDir(folder)) fsys::MakeDir(folder);
    at = next;
  }
}

std::uint8_t* ZipReader::Buffer::Reserve(std::size_t n) {
  if (n > size) {
    data.reset();  // the old one goes first: never both at once
    data.reset(new std::uint8_t[n]);
    size = n;
  }
  return data.get();
}

// The deflated bytes, the unpacked ones and the CRC-32 of the entry, checked before
// anything is written.
std::u16string ZipReader::Inflate(const ZipEntry& entry, fsys::File& out) {
  if (entry.Size <= wholeLimit_ && entry.CompressedSize <= wholeLimit_) {
    try {
      if (InflateWhole(entry, out)) return {};
    } catch (const std::bad_alloc&) {
      // No room for the whole entry (nothing is written by then): it streams instead.
      packed_ = {};
      unpacked_ = {};
    }
  }
  // Too large to be held whole, or damaged: the streaming path tells what is wrong with
  // it in the words that the reader always used.
  return InflateStreaming(entry, out);
}

// The entry read whole, inflated whole by libdeflate and written in one write when its
// sizes and CRC-32 hold; false, with nothing written, otherwise.
bool ZipReader::InflateWhole(const ZipEntry& entry, fsys::File& out) {
  if (!decompressor_) {
    decompressor_.reset(libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    if (!decompressor_) return false;
  }
  // One byte more than announced: an entry that gives more is told from one that fits.
  std::uint8_t* const packed = packed_.Reserve(std::max<std::size_t>(entry.CompressedSize, 1));
  std::uint8_t* const unpacked = unpacked_.Reserve(std::size_t{entry.Size} + 1);
  if (file_->ReadAt(entry.DataOffset, packed, entry.CompressedSize) != entry.CompressedSize) return false;
  std::size_t consumed = 0, produced = 0;
  const libdeflate_result result = libdeflate_deflate_decompress_ex(
      decompressor_.get(), packed, entry.CompressedSize, unpacked, std::size_t{entry.Size} + 1, &consumed, &produced);
  if (result != LIBDEFLATE_SUCCESS || consumed != entry.CompressedSize || produced != entry.Size ||
      libdeflate_crc32(0, unpacked, produced) != entry.Crc32)
    return false;
  out.Write(unpacked, produced);
  return true;
}

// Streams the entry's deflated bytes through zlib's inflate into out, checking the sizes
// and the CRC-32; the reason of a failure, or nothing. Errors of the file layer are
// thrown.
std::u16string ZipReader::InflateStreaming(const ZipEntry& entry, fsys::File& out) {
  InflateStream stream;
  if (!stream.ready) return u"mémoire insuffisante pour la décompression";
  z_stream& z = stream.z;
  std::vector<std::uint8_t> input(kInputChunk), output(kOutputChunk);
  std::uint64_t offset = entry.DataOffset;
  std::uint32_t left = entry.CompressedSize;
  std::uint64_t produced = 0;
  std::uint32_t crc = libdeflate_crc32(0, nullptr, 0);
  for (;;) {
    if (z.avail_in == 0 && left > 0) {
      const std::size_t n = std::min<std::size_t>(kInputChunk, left);
      if (file_->ReadAt(offset, input.data(), n) != n) return u"l'archive est tronquée";
      offset += n;
      left -= static_cast<std::uint32_t>(n);
      z.next_in = input.data();
      z.avail_in = static_cast<uInt>(n);
    }
    z.next_out = output.data();
    z.avail_out = static_cast<uInt>(output.size());
    const int status = inflate(&z, Z_NO_FLUSH);
    // Input is supplied while there is some, and room for output: a stall means that the
    // deflated data ends too early.
    if (status == Z_BUF_ERROR) return u"ses données compressées sont tronquées";
    if (status != Z_OK && status != Z_STREAM_END) return u"ses données compressées sont endommagées";
    const std::size_t n = output.size() - z.avail_out;
    produced += n;
    if (produced > entry.Size) return u"elle donne plus d'octets que sa taille annoncée";
    crc = libdeflate_crc32(crc, output.data(), n);
    out.Write(output.data(), n);
    if (status == Z_STREAM_END) break;
  }
  if (z.avail_in != 0 || left != 0) return u"sa taille compressée ne correspond pas à ses données";
  if (produced != entry.Size) return u"elle donne moins d'octets que sa taille annoncée";
  if (crc != entry.Crc32) return u"le contrôle CRC-32 a échoué";
  return {};
}

// Inflates the entry into path, a file created new. On any failure the file is removed
// again, whatever it holds by then, and the error names the entry.
void ZipReader::ExtractEntry(const ZipEntry& entry, const std::u16string& path,
                             const std::u16string& destination) {
  if (fsys::IsFile(path)) fsys::ResetAttributes(path, destination);  // a read-only file of an earlier installation

  std::u16string failure;
  std::optional<fsys::File> out;
  try {
    out = fsys::File::CreateNew(path, destination);
    failure = Inflate(entry, *out);
  } catch (const AppError& error) {
    if (failure.empty()) failure = Continued(error.Message());
  }
  if (out && failure.empty() && !out->SetTimes(entry.Modified))
    failure = u"impossible de dater le fichier \"" + path + u"\"";
  if (out && failure.empty() && !out->SetDosAttributes(entry.DosAttributes))
    failure = u"impossible de fixer les attributs du fichier \"" + path + u"\"";
  if (failure.empty()) {
    try {
      out->Close();
      return;
    } catch (const AppError& error) {
      failure = Continued(error.Message());
    }
  }
  if (out) out->Delete();
  FailEntry(entry.Name, failure);
}

void ZipReader::Close() {
  if (own_) own_->Close();
}
