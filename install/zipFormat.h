// The ZIP records of the payload archives, shared by the packager's writer and the
// installer's reader so that one is the mirror of the other: the little-endian record
// layouts, the fixed values our archives carry, MS-DOS dates and times, and the rule for
// the entry names that may be written below a destination folder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <tuple>

#include "util/clock.h"

namespace zip {

inline std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t Get32(const std::uint8_t* p) {
  return Get16(p) | static_cast<std::uint32_t>(Get16(p + 2)) << 16;
}
inline void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(std::uint8_t* p, std::uint32_t v) {
  Put16(p, static_cast<std::uint16_t>(v));
  Put16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

inline constexpr std::uint32_t kLocalSignature = 0x04034B50;
inline constexpr std::uint32_t kCentralSignature = 0x02014B50;
inline constexpr std::uint32_t kEndSignature = 0x06054B50;
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;

inline constexpr std::uint16_t kMethodDeflate = 8;
inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr std::uint16_t kFlagUtf8 = 0x0800;
// UTF-8 names and the two deflate level hints; every other flag changes how an entry
// must be read (encryption, data descriptor, patch data, ...).
inline constexpr std::uint16_t kFlagsSupported = kFlagUtf8 | 0x0006;
inline constexpr std::uint16_t kVersion20 = 20;  // high byte 0: made on MS-DOS
inline constexpr std::uint32_t kDosArchive = 0x20;
// A 32-bit size or offset, or a 16-bit count, at its maximum announces ZIP64 records.
inline constexpr std::uint32_t kZip64Marker32 = 0xFFFFFFFF;
inline constexpr std::uint16_t kZip64Marker16 = 0xFFFF;

namespace detail {
// One field of a record: where it lies and which member holds it; its width is the
// member's.
template <typename Record, typename T>
struct Field {
  std::size_t offset;
  T Record::*member;
};
template <typename Record, typename T>
Field(std::size_t, T Record::*) -> Field<Record, T>;

inline void Get(const std::uint8_t* p, std::uint16_t& v) { v = Get16(p); }
inline void Get(const std::uint8_t* p, std::uint32_t& v) { v = Get32(p); }
inline void Put(std::uint8_t* p, std::uint16_t v) { Put16(p, v); }
inline void Put(std::uint8_t* p, std::uint32_t v) { Put32(p, v); }
}  // namespace detail

struct LocalHeader {
  static constexpr std::size_t kSize = 30;
  static constexpr std::uint32_t kSignature = kLocalSignature;
  struct Offset {  // of each field from the start of the record
    enum : std::size_t {
      Signature = 0, VersionNeeded = 4, Flags = 6, Method = 8, Time = 10, Date = 12,
      Crc32 = 14, CompressedSize = 18, Size = 22, NameLength = 26, ExtraLength = 28
    };
  };
  std::uint16_t VersionNeeded = 0, Flags = 0, Method = 0, Time = 0, Date = 0;
  std::uint32_t Crc32 = 0, CompressedSize = 0, Size = 0;
  std::uint16_t NameLength = 0, ExtraLength = 0;

  static constexpr auto Fields() {
    using O = Offset;
    using H = LocalHeader;
    using detail::Field;
    return std::tuple{Field{O::VersionNeeded, &H::VersionNeeded}, Field{O::Flags, &H::Flags},
                      Field{O::Method, &H::Method}, Field{O::Time, &H::Time}, Field{O::Date, &H::Date},
                      Field{O::Crc32, &H::Crc32}, Field{O::CompressedSize, &H::CompressedSize},
                      Field{O::Size, &H::Size}, Field{O::NameLength, &H::NameLength},
                      Field{O::ExtraLength, &H::ExtraLength}};
  }
};

struct CentralHeader {
  static constexpr std::size_t kSize = 46;
  static constexpr std::uint32_t kSignature = kCentralSignature;
  struct Offset {  // of each field from the start of the record
    enum : std::size_t {
      Signature = 0, VersionMadeBy = 4, VersionNeeded = 6, Flags = 8, Method = 10, Time = 12,
      Date = 14, Crc32 = 16, CompressedSize = 20, Size = 24, NameLength = 28, ExtraLength = 30,
      CommentLength = 32, DiskStart = 34, InternalAttributes = 36, ExternalAttributes = 38,
      LocalHeaderOffset = 42
    };
  };
  std::uint16_t VersionMadeBy = 0, VersionNeeded = 0, Flags = 0, Method = 0, Time = 0, Date = 0;
  std::uint32_t Crc32 = 0, CompressedSize = 0, Size = 0;
  std::uint16_t NameLength = 0, ExtraLength = 0, CommentLength = 0, DiskStart = 0;
  std::uint16_t InternalAttributes = 0;
  std::uint32_t ExternalAttributes = 0, LocalHeaderOffset = 0;

  static constexpr auto Fields() {
    using O = Offset;
    using H = CentralHeader;
    using detail::Field;
    return std::tuple{Field{O::VersionMadeBy, &H::VersionMadeBy}, Field{O::VersionNeeded, &H::VersionNeeded},
                      Field{O::Flags, &H::Flags}, Field{O::Method, &H::Method}, Field{O::Time, &H::Time},
                      Field{O::Date, &H::Date}, Field{O::Crc32, &H::Crc32},
                      Field{O::CompressedSize, &H::CompressedSize}, Field{O::Size, &H::Size},
                      Field{O::NameLength, &H::NameLength}, Field{O::ExtraLength, &H::ExtraLength},
                      Field{O::CommentLength, &H::CommentLength}, Field{O::DiskStart, &H::DiskStart},
                      Field{O::InternalAttributes, &H::InternalAttributes},
                      Field{O::ExternalAttributes, &H::ExternalAttributes},
                      Field{O::LocalHeaderOffset, &H::LocalHeaderOffset}};
  }
};

struct EndRecord {
  static constexpr std::size_t kSize = 22;
  static constexpr std::size_t kMaxComment = 0xFFFF;
  static constexpr std::uint32_t kSignature = kEndSignature;
  struct Offset {  // of each field from the start of the record
    enum : std::size_t {
      Signature = 0, Disk = 4, CentralDisk = 6, EntriesOnDisk = 8, Entries = 10,
      CentralSize = 12, CentralOffset = 16, CommentLength = 20
    };
  };
  std::uint16_t Disk = 0, CentralDisk = 0, EntriesOnDisk = 0, Entries = 0;
  std::uint32_t CentralSize = 0, CentralOffset = 0;
  std::uint16_t CommentLength = 0;

  static constexpr auto Fields() {
    using O = Offset;
    using H = EndRecord;
    using detail::Field;
    return std::tuple{Field{O::Disk, &H::Disk}, Field{O::CentralDisk, &H::CentralDisk},
                      Field{O::EntriesOnDisk, &H::EntriesOnDisk}, Field{O::Entries, &H::Entries},
                      Field{O::CentralSize, &H::CentralSize}, Field{O::CentralOffset, &H::CentralOffset},
                      Field{O::CommentLength, &H::CommentLength}};
  }
};

// A record from kSize bytes that begin with its signature (not checked here), and the
// record written to kSize bytes, signature included: one field list serves both ways.
template <typename Record>
Record Read(const std::uint8_t* p) {
  Record record;
  std::apply([&](auto... field) { (detail::Get(p + field.offset, record.*field.member), ...); }, Record::Fields());
  return record;
}

template <typename Record>
void Write(std::uint8_t* p, const Record& record) {
  Put32(p, Record::kSignature);
  std::apply([&](auto... field) { (detail::Put(p + field.offset, record.*field.member), ...); }, Record::Fields());
}

// MS-DOS date and time: local time, years 1980 to 2107, seconds in steps of two.
struct DosStamp {
  std::uint16_t Date = 0, Time = 0;
};

inline DosStamp ToDosStamp(const LocalDateTime& t) {
  return {static_cast<std::uint16_t>((t.Year - 1980) << 9 | t.Month << 5 | t.Day),
          static_cast<std::uint16_t>(t.Hour << 11 | t.Minute << 5 | t.Second / 2)};
}

inline LocalDateTime FromDosStamp(DosStamp s) {
  return {1980 + (s.Date >> 9), (s.Date >> 5) & 0x0F, s.Date & 0x1F,
          s.Time >> 11,         (s.Time >> 5) & 0x3F, (s.Time & 0x1F) * 2, 0};
}

// A stamp that names a real day and time (the days of the month are checked as well).
inline bool IsValidDosStamp(DosStamp s) {
  const LocalDateTime t = FromDosStamp(s);
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > kDays[t.Month - 1]) return false;
  const bool leap = t.Year % 4 == 0 && (t.Year % 100 != 0 || t.Year % 400 == 0);
  if (t.Month == 2 && t.Day == 29 && !leap) return false;
  return t.Hour < 24 && t.Minute < 60 && t.Second < 60;
}

// Why an entry name may not be written below a destination folder.
enum class NameFault {
  None,
  Empty,
  NotUtf8,
  Backslash,       // a "\" would be a separator on Windows
  Absolute,        // starts with "/"
  Drive,           // starts with a drive letter "C:"
  EmptyComponent,  // "a//b", or a trailing "/" (a folder entry)
  DotComponent,    // "." or ".."
  BadCharacter,    // a control character or one of < > : " | ? *
  BadEnding,       // a component ending with "." or " ", which Windows would cut
  Device           // CON, PRN, AUX, NUL, COM1, LPT1, ..., with or without extension
};

namespace detail {
inline bool IsUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t extra;
    std::uint32_t cp, min;
    if (c < 0x80) { ++i; continue; }
    if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1Fu; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0Fu; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07u; min = 0x10000; }
    else return false;
    if (s.size() - i <= extra) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = cp << 6 | (d & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

inline char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

// Windows opens a device for these names whatever their extension: "nul.txt" is NUL.
inline bool IsDeviceName(std::string_view component) {
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (SameLetters(base, device)) return true;
  for (std::string_view port : {"COM", "LPT"}) {
    if (base.size() < 4 || !SameLetters(base.substr(0, 3), port)) continue;
    const std::string_view number = base.substr(3);
    if (number.size() == 1 && number[0] >= '0' && number[0] <= '9') return true;
    // the superscript digits 1, 2 and 3 (U+00B9, U+00B2, U+00B3) count as well
    if (number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3") return true;
  }
  return false;
}
}  // namespace detail

inline NameFault CheckEntryName(std::string_view name) {
  if (name.empty()) return NameFault::Empty;
  if (!detail::IsUtf8(name)) return NameFault::NotUtf8;
  if (name.find('\\') != std::string_view::npos) return NameFault::Backslash;
  if (name.front() == '/') return NameFault::Absolute;
  const auto letter = detail::Upper(name[0]);
  if (name.size() >= 2 && letter >= 'A' && letter <= 'Z' && name[1] == ':') return NameFault::Drive;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = name.find('/', start);
    const std::string_view part = name.substr(start, end == std::string_view::npos ? end : end - start);
    if (part.empty()) return NameFault::EmptyComponent;
    if (part == "." || part == "..") return NameFault::DotComponent;
    for (const char c : part)
      if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
        return NameFault::BadCharacter;
    if (part.back() == '.' || part.back() == ' ') return NameFault::BadEnding;
    if (detail::IsDeviceName(part)) return NameFault::Device;
    if (end == std::string_view::npos) return NameFault::None;
    start = end + 1;
  }
}

}  // namespace zip
