// What the file system reports of a file's modification time and attributes, for checks
// of what the program set.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "util/clock.h"

struct FileStamp {
  LocalDateTime Modified;  // local time, whole seconds
  bool ReadOnly = false;
  // The MS-DOS attributes (read-only, hidden, system, archive) where the system has them.
  std::optional<std::uint32_t> DosAttributes;
};

// Throws std::runtime_error when the file cannot be examined.
FileStamp ReadFileStamp(const std::u16string& path);
