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
