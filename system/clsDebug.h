// The debug journal: when on, each AddToJnl appends one time-stamped line to a file
// named after the moment the journal was set up; when off, nothing touches the disk.
// The class also carries a small diagnostics toolbox: numbered chronometers, a prompt
// for a debugging level and short texts for coordinates, rectangles, memory ratios and
// line and text styles.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "system/defTypes.h"
#include "util/clock.h"

class PlDebug {
public:
  PlDebug(bool mode, const std::u16string& JnlDir);

  void SetMode(bool mode);
  void SetJnl(const std::u16string& JnlDir);
  // 0 when written or off; 1 when the write failed and the user declined to retry.
  std::int32_t AddToJnl(std::u16string_view Enreg, bool SkipLine, bool InclDate);

  // Chronometers, numbered from 1. Reading one never started gives the time since its
  // zero time stamp, that is the time of day; a number beyond the array gives 0 / "".
  bool LaunchChrono(std::int32_t ind);
  void GetChrono(std::int32_t ind, std::int32_t& ms) const;
  std::u16string GetChrono(std::int32_t ind) const;

  // Asks for a level, prefilled with level; the typed whole number when confirmed,
  // level unchanged otherwise.
  static std::int32_t DbgLevel(std::int32_t level);

  static std::u16string CoordInfos(float Coord, std::int32_t NbDec);
  static std::u16string PointInfos(const PointF& Point, std::int32_t NbDec);
  static std::u16string RectInfos(const RectF& Rect, std::int32_t NbDec);
  static std::u16string MemPcInfos(float Ratio, std::int32_t NbDec);
  static std::u16string LStyleInfos(const LineStyle& LStyle);
  static std::u16string TStyleInfos(const TextStyle& TStyle);

  bool DbgMode() const { return DbgMode_; }
  const std::u16string& JnlPath() const { return JnlPath_; }

private:
  void ChooseFile(const std::u16string& JnlDir);
  // Elapsed milliseconds of a chronometer, modulo a day; -1 when ind is outside the array.
  std::int64_t Elapsed(std::int32_t ind) const;

  std::vector<LocalDateTime> Chrono_;
  bool DbgMode_ = false;
  std::u16string JnlPath_;
};
