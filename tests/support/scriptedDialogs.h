// A dialog backend for tests: answers from a script, in order, and keeps every request.
// Installed for its lifetime.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "util/utlDialogs.h"

class ScriptedDialogs final : public DialogBackend {
public:
  ScriptedDialogs();
  ~ScriptedDialogs() override;

  // Answers given in order. MsgButton::None: the box closed by no button.
  void Answer(MsgButton button) { messageAnswers_.push_back({button, std::nullopt}); }
  // The next box cannot be shown: the backend raises the failure with this reason.
  void FailToShow(std::u16string reason) {
    messageAnswers_.push_back({MsgButton::None, std::move(reason)});
  }
  void AnswerInput(InputOutcome outcome) { inputAnswers_.push_back(std::move(outcome)); }
  // A box or an input dialog beyond the script fails the test, naming what was asked, and
  // is answered as if closed (ClosedBoxAnswer; the input cancelled), so that no retry loop
  // spins on it.

  // Runs before each message box is answered: the moment a user would act.
  std::function<void(const MessageRequest&)> OnMessage;

  const std::vector<MessageRequest>& Messages() const { return messages_; }
  const std::vector<InputRequest>& Inputs() const { return inputs_; }

  MsgButton ShowMessage(const MessageRequest& request) override;
  InputOutcome ShowInput(const InputRequest& request) override;

private:
  struct Scripted {
    MsgButton Button;
    std::optional<std::u16string> Failure;  // set: the box is not shown
  };

  DialogBackend* previous_;
  std::deque<Scripted> messageAnswers_;
  std::deque<InputOutcome> inputAnswers_;
  std::vector<MessageRequest> messages_;
  std::vector<InputRequest> inputs_;
};
