#include "tools/zipWriter.h"

#include <zlib.h>

#include <limits>
#include <stdexcept>
#include <string>

namespace {
std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> data) {
  z_stream zs{};
  // Raw deflate (no zlib header), the default level, the largest window.
  if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2 failed");
  std::vector<std::uint8_t> out(deflateBound(&zs, static_cast<uLong>(data.size())));
  zs.next_in = const_cast<Bytef*>(data.data());
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate failed");
  return out;
}

void Append(std::vector<std::uint8_t>& to, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  to.insert(to.end(), bytes, bytes + size);
}
}  // namespace

void ZipWriter::Add(std::string_view name, const LocalDateTime& modified,
                    std::span<const std::uint8_t> data) {
  constexpr auto kMax32 = std::numeric_limits<std::uint32_t>::max();
  if (entries_ == zip::kZip64Marker16 - 1 || name.size() > 0xFFFF || data.size() >= kMax32)
    throw std::runtime_error("entry beyond the limits of a ZIP archive without ZIP64");
  const std::vector<std::uint8_t> packed = Deflate(data);
  if (packed.size() >= kMax32 || archive_.size() >= kMax32)
    throw std::runtime_error("archive beyond the limits of a ZIP archive without ZIP64");

  const zip::DosStamp stamp = zip::ToDosStamp(modified);
  zip::LocalHeader local;
  local.VersionNeeded = zip::kVersion20;
  local.Flags = zip::kFlagUtf8;
  local.Method = zip::kMethodDeflate;
  local.Time = stamp.Time;
  local.Date = stamp.Date;
  local.Crc32 = static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
  local.CompressedSize = static_cast<std::uint32_t>(packed.size());
  local.Size = static_cast<std::uint32_t>(data.size());
  local.NameLength = static_cast<std::uint16_t>(name.size());

  zip::CentralHeader central;
  central.VersionMadeBy = zip::kVersion20;
  central.VersionNeeded = local.VersionNeeded;
  central.Flags = local.Flags;
  central.Method = local.Method;
  central.Time = local.Time;
  central.Date = local.Date;
  central.Crc32 = local.Crc32;
  central.CompressedSize = local.CompressedSize;
  central.Size = local.Size;
  central.NameLength = local.NameLength;
  central.ExternalAttributes = zip::kDosArchive;
  central.LocalHeaderOffset = static_cast<std::uint32_t>(archive_.size());

  std::uint8_t header[zip::CentralHeader::kSize];
  zip::Write(header, local);
  Append(archive_, header, zip::LocalHeader::kSize);
  Append(archive_, name.data(), name.size());
  Append(archive_, packed.data(), packed.size());
  zip::Write(header, central);
  Append(central_, header, zip::CentralHeader::kSize);
  Append(central_, name.data(), name.size());
  ++entries_;
}

std::vector<std::uint8_t> ZipWriter::Finish() {
  if (archive_.size() + central_.size() >= zip::kZip64Marker32)
    throw std::runtime_error("archive beyond the limits of a ZIP archive without ZIP64");
  zip::EndRecord end;
  end.EntriesOnDisk = end.Entries = entries_;
  end.CentralSize = static_cast<std::uint32_t>(central_.size());
  end.CentralOffset = static_cast<std::uint32_t>(archive_.size());
  std::uint8_t record[zip::EndRecord::kSize];
  zip::Write(record, end);
  Append(archive_, central_.data(), central_.size());
  Append(archive_, record, sizeof record);
  std::vector<std::uint8_t> result = std::move(archive_);
  archive_.clear();
  central_.clear();
  entries_ = 0;
  return result;
}

std::string BytesToHex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex(bytes.size() * 2, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    hex[2 * i] = kDigits[bytes[i] >> 4];
    hex[2 * i + 1] = kDigits[bytes[i] & 0x0F];
  }
  return hex;
}

std::string HexTextTooLarge(std::uint64_t archiveBytes) {
  if (archiveBytes * 2 <= kMaxHexText) return {};
  return "the archive is " + std::to_string(archiveBytes) + " bytes, its hexadecimal text " +
         std::to_string(archiveBytes * 2) + " bytes: the setup program would be too large for a PE image, " +
         "which holds at most " + std::to_string(kMaxHexText) + " bytes of hexadecimal text per payload " +
         "(an archive of " + std::to_string(kMaxHexText / 2) + " bytes)";
}
