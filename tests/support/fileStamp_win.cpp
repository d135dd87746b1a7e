#include <windows.h>

#include <stdexcept>

#include "tests/support/fileStamp.h"
#include "util/textCodec.h"
#include "util/wideText_win.h"

FileStamp ReadFileStamp(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  SYSTEMTIME utc, local;
  if (!GetFileAttributesExW(W(path), GetFileExInfoStandard, &data) ||
      !FileTimeToSystemTime(&data.ftLastWriteTime, &utc) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    throw std::runtime_error("cannot examine " + Utf16ToUtf8(path));
  FileStamp stamp;
  stamp.Modified = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond, 0};
  stamp.ReadOnly = data.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
  stamp.DosAttributes = data.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                 FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  return stamp;
}
