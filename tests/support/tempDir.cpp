#include "tests/support/tempDir.h"

#include <atomic>
#include <chrono>
#include <stdexcept>

#include "util/fileSystem.h"
#include "util/utlFiles.h"

namespace {
std::u16string SystemTemp() {
#ifdef _WIN32
  const char* names[] = {"TEMP", "TMP"};
#else
  const char* names[] = {"TMPDIR"};
#endif
  for (const char* name : names)
    if (const char* value = std::getenv(name); value && *value)
      return std::u16string(value, value + std::char_traits<char>::length(value));
#ifdef _WIN32
  return u"C:\\windows\\temp";
#else
  return u"/tmp";
#endif
}

std::u16string Number(unsigned long long n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}
}  // namespace

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = SystemTemp() + fsys::PathSep + u"orvelin-test-" + Number(stamp) + u"-" + Number(counter++);
    if (fsys::MakeDir(path_)) return;
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() { DelDir(path_); }

std::u16string TempDir::operator/(const std::u16string& name) const { return path_ + fsys::PathSep + name; }

std::string ReadAll(const std::u16string& path) {
  auto file = fsys::File::OpenForRead(path);
  std::string bytes(static_cast<std::size_t>(file.Size()), '\0');
  bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
  return bytes;
}

void WriteAll(const std::u16string& path, const std::string& bytes) {
  auto file = fsys::File::CreateNew(path, {});
  file.Write(bytes.data(), bytes.size());
  file.Close();
}
