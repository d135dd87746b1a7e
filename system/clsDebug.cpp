#include "system/clsDebug.h"

#include <cstdio>

#include "util/fileSystem.h"
#include "util/utlColors.h"
#include "util/utlDialogs.h"
#include "util/utlFiles.h"
#include "util/utlStrings.h"

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

constexpr std::int64_t kDay = 86'400'000;

std::u16string Decimal(long long n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string Fixed(float value, std::int32_t NbDec) {
  return FmtFloatDot(u"%." + Decimal(NbDec) + u"f", value);
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

bool PlDebug::LaunchChrono(std::int32_t ind) {
  if (ind < 1) return true;  // numbers start at 1: nothing to start
  if (Chrono_.size() < static_cast<std::size_t>(ind)) Chrono_.resize(static_cast<std::size_t>(ind));
  Chrono_[static_cast<std::size_t>(ind) - 1] = LocalNow();
  return true;
}

std::int64_t PlDebug::Elapsed(std::int32_t ind) const {
  if (ind < 1 || Chrono_.size() < static_cast<std::size_t>(ind)) return -1;
  const std::int64_t difference =
      MillisecondsSinceZero(LocalNow()) - MillisecondsSinceZero(Chrono_[static_cast<std::size_t>(ind) - 1]);
  return (difference < 0 ? -difference : difference) % kDay;
}

void PlDebug::GetChrono(std::int32_t ind, std::int32_t& ms) const {
  const std::int64_t elapsed = Elapsed(ind);
  ms = elapsed < 0 ? 0 : static_cast<std::int32_t>(elapsed);
}

std::u16string PlDebug::GetChrono(std::int32_t ind) const {
  const std::int64_t e = Elapsed(ind);
  if (e < 0) return u"";
  const std::int64_t h = e / 3'600'000, m = (e / 60'000) % 60, s = (e / 1000) % 60, f = e % 1000;
  std::u16string text;
  const auto add = [&text](const std::u16string& part) {
    if (!text.empty()) text += u' ';
    text += part;
  };
  if (h > 0) add(Decimal(h) + u" h");
  if (m > 0) add(Decimal(m) + u" mn");
  if (text.empty() || f != 0) {
    const float seconds = static_cast<float>(s) + static_cast<float>(f) / 1000.0f;
    add(FmtFloatDot(u"%.3f", seconds) + u" s");
  }
  return text;
}

std::int32_t PlDebug::DbgLevel(std::int32_t level) {
  std::u16string input = Decimal(level);
  bool checked = false;
  if (InputDlg(u"Niveau de débogage :", input, u'N', u"", checked, u"", true) == u"O")
    return StrToIntOr0(input);
  return level;
}

std::u16string PlDebug::CoordInfos(float Coord, std::int32_t NbDec) { return Fixed(Coord, NbDec); }

std::u16string PlDebug::PointInfos(const PointF& Point, std::int32_t NbDec) {
  return u"X=" + Fixed(Point.X, NbDec) + u" ; Y=" + Fixed(Point.Y, NbDec);
}

std::u16string PlDebug::RectInfos(const RectF& Rect, std::int32_t NbDec) {
  return u"Top=" + Fixed(Rect.Top, NbDec) + u" ; Left=" + Fixed(Rect.Left, NbDec) +
         u" ; Bottom=" + Fixed(Rect.Bottom, NbDec) + u" ; Right=" + Fixed(Rect.Right, NbDec);
}

std::u16string PlDebug::MemPcInfos(float Ratio, std::int32_t NbDec) {
  const float percent = Ratio * 100.0f;
  return Fixed(percent, NbDec) + u" % mem.";
}

std::u16string PlDebug::LStyleInfos(const LineStyle& LStyle) {
  return u"Coul.=" + ColorToRGBStr(LStyle.Color) + u" ; Ep.=" + FmtFloatDot(u"%.1f", LStyle.Thickness);
}

std::u16string PlDebug::TStyleInfos(const TextStyle& TStyle) {
  return u"Coul.=" + ColorToRGBStr(TStyle.Color) + u" ; Pol.=" + TStyle.FName + u"/" + Decimal(TStyle.Size);
}
