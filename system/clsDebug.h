// The debug journal: when on, each AddToJnl appends one time-stamped line to a file
// named after the moment the journal was set up; when off, nothing touches the disk.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "util/clock.h"

class PlDebug {
public:
  PlDebug(bool mode, const std::u16string& JnlDir);

  void SetMode(bool mode);
  void SetJnl(const std::u16string& JnlDir);
  // 0 when written or off; 1 when the write failed and the user declined to retry.
  std::int32_t AddToJnl(std::u16string_view Enreg, bool SkipLine, bool InclDate);

  bool DbgMode() const { return DbgMode_; }
  const std::u16string& JnlPath() const { return JnlPath_; }

private:
  void ChooseFile(const std::u16string& JnlDir);

  std::vector<LocalDateTime> Chrono_;
  bool DbgMode_ = false;
  std::u16string JnlPath_;
};
