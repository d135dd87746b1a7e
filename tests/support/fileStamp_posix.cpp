#include <sys/stat.h>

#include <ctime>
#include <stdexcept>

#include "tests/support/fileStamp.h"
#include "util/textCodec.h"

FileStamp ReadFileStamp(const std::u16string& path) {
  struct stat st{};
  if (::stat(Utf16ToUtf8(path).c_str(), &st) != 0) throw std::runtime_error("cannot stat " + Utf16ToUtf8(path));
  std::tm t{};
  localtime_r(&st.st_mtime, &t);
  FileStamp stamp;
  stamp.Modified = {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, 0};
  stamp.ReadOnly = !(st.st_mode & S_IWUSR);
  return stamp;
}
