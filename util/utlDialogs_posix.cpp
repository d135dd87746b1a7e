// Outside Windows there is nobody to ask: the boxes close unanswered. Tests install a
// scripted backend instead.
#include "util/utlDialogs.h"

namespace {
class Unanswered final : public DialogBackend {
public:
  MsgButton ShowMessage(const MessageRequest&) override { return MsgButton::None; }
  InputOutcome ShowInput(const InputRequest&) override { return {}; }
};
}  // namespace

DialogBackend& PlatformDialogs() {
  static Unanswered backend;
  return backend;
}
