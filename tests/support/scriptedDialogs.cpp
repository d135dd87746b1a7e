#include "tests/support/scriptedDialogs.h"

#include "util/appError.h"

ScriptedDialogs::ScriptedDialogs() : previous_(SetDialogBackend(this)) {}
ScriptedDialogs::~ScriptedDialogs() { SetDialogBackend(previous_); }

MsgButton ScriptedDialogs::ShowMessage(const MessageRequest& request) {
  messages_.push_back(request);
  if (OnMessage) OnMessage(request);
  if (messageAnswers_.empty()) return MsgButton::None;
  const Scripted answer = messageAnswers_.front();
  messageAnswers_.pop_front();
  if (answer.Failure) throw AppError(*answer.Failure);
  return answer.Button;
}

InputOutcome ScriptedDialogs::ShowInput(const InputRequest& request) {
  inputs_.push_back(request);
  if (inputAnswers_.empty()) return {};
  InputOutcome answer = inputAnswers_.front();
  inputAnswers_.pop_front();
  return answer;
}
