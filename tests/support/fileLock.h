// Holds a file open the way another program would, so that it cannot be deleted or
// written. Where the platform cannot lock a file against its owner (POSIX), Supported()
// is false and tests that need a lock skip.
#pragma once
#include <cstdint>
#include <string>

class FileLock {
public:
  explicit FileLock(const std::u16string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  static bool Supported();

private:
  [[maybe_unused]] std::intptr_t handle_ = -1;
};
