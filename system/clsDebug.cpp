#include "system/clsDebug.h"

#include <cstdio>

#include "util/fileSystem.h"
#include "util/utlFiles.h"

namespace {
std::u16string Ascii(const char* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }

// "YYYY-MM-DD-hhnnss"
std::u16string FileStamp(const LocalDateTime& t) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d-%02d%02d%02d", t.Year, t.Month, t.Day,
                t.Hour, t.Minute, t.Second);
  return Ascii(buffer);
}

// "[DD/MM/YYYY hh:nn:ss]" with the regional separators.
std::u16string LineStamp(const LocalDateTime& t) {
  char date[16], time[16];
  std::snprintf(date, sizeof date, "%02d|%02d|%04d", t.Day, t.Month, t.Year);
  std::snprintf(time, sizeof time, "%02d|%02d|%02d", t.Hour, t.Minute, t.Second);
  std::u16string d = Ascii(date), h = Ascii(time);
  for (auto& c : d) if (c == u'|') c = DateSeparator();
  for (auto& c : h) if (c == u'|') c = TimeSeparator();
  return u"[" + d + u" " + h + u"]";
}
}  // namespace

PlDebug::PlDebug(bool mode, const std::u16string& JnlDir) : DbgMode_(mode) {
  if (mode && !JnlDir.empty()) ChooseFile(JnlDir);
}

void PlDebug::SetMode(bool mode) { DbgMode_ = mode; }

void PlDebug::SetJnl(const std::u16string& JnlDir) { ChooseFile(JnlDir); }

void PlDebug::ChooseFile(const std::u16string& JnlDir) {
  const LocalDateTime now = LocalNow();
  ForceDirs(JnlDir);
  JnlPath_ = JnlDir + fsys::PathSep + FileStamp(now) + u".jnl";
}

std::int32_t PlDebug::AddToJnl(std::u16string_view Enreg, bool SkipLine, bool InclDate) {
  if (!DbgMode_) return 0;
  const LocalDateTime now = LocalNow();
  std::u16string line = SkipLine ? u"\r\n" : u"";
  if (InclDate) line += LineStamp(now) + u" ";
  line += Enreg;
  line += u"\r\n";
  return AppendToFile(JnlPath_, line);
}
