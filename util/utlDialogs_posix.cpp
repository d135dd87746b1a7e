// Outside Windows there is nobody to ask: every question is declined (No, else Cancel,
// else the box's only button), so that no retry loop waits for an answer that cannot
// come, and the input dialog is cancelled. Tests install a scripted backend instead.
#include <algorithm>

#include "util/utlDialogs.h"

namespace {
class Declining final : public DialogBackend {
public:
  MsgButton ShowMessage(const MessageRequest& request) override {
    for (const MsgButton decline : {MsgButton::No, MsgButton::Cancel})
      if (std::find(request.Buttons.begin(), request.Buttons.end(), decline) != request.Buttons.end())
        return decline;
    return request.Buttons.front();
  }
  InputOutcome ShowInput(const InputRequest&) override { return {}; }
};
}  // namespace

DialogBackend& PlatformDialogs() {
  static Declining backend;
  return backend;
}
