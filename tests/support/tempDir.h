// A fresh folder of the system's temporary area, deleted with everything in it at the
// end of the test.
#pragma once
#include <string>

class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::u16string& Path() const { return path_; }
  // Path() + separator + name
  std::u16string operator/(const std::u16string& name) const;

private:
  std::u16string path_;
};

// Whole-file helpers for checks.
std::string ReadAll(const std::u16string& path);
void WriteAll(const std::u16string& path, const std::string& bytes);
