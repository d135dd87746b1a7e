// The writer of the payload archives: deflated entries with UTF-8 names, sizes and
// CRC-32 in the local headers, no extra fields, MS-DOS host and attributes, an empty
// archive comment. The mirror of install/zipReader.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "install/zipFormat.h"

class ZipWriter {
public:
  // Appends one file entry. The name is stored as given ("/" separators, UTF-8): the
  // caller decides what a valid name is, so that tests can build hostile archives.
  void Add(std::string_view name, const LocalDateTime& modified,
           std::span<const std::uint8_t> data);
  // The whole archive: the entries in the order added, the central directory and the
  // end record. The writer is empty again afterwards.
  std::vector<std::uint8_t> Finish();

private:
  std::vector<std::uint8_t> archive_;
  std::vector<std::uint8_t> central_;
  std::uint16_t entries_ = 0;
};

// The stored form of an archive: two upper-case hexadecimal digits per byte.
std::string BytesToHex(std::span<const std::uint8_t> bytes);

// The largest hexadecimal text that one payload resource may have. The setup program is
// a 32-bit PE image, mapped whole from its base 0x00400000 up to at most the system's
// shared page at 0x7FFE0000 (and an image stays below 2 GiB in any case): 2,043.875 MiB,
// of which 64 MiB are kept for the program itself and its other resources. An archive
// of up to 1,038,024,704 bytes fits.
inline constexpr std::uint64_t kMaxHexText = 0x7FFE0000ull - 0x00400000ull - 64ull * 1024 * 1024;
// Why an archive of this many bytes cannot be carried, its hexadecimal text making the
// program too large for a PE image; empty when it fits.
std::string HexTextTooLarge(std::uint64_t archiveBytes);
