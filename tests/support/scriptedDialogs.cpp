#include "tests/support/scriptedDialogs.h"

#include <gtest/gtest.h>

#include "util/appError.h"
#include "util/textCodec.h"

ScriptedDialogs::ScriptedDialogs() : previous_(SetDialogBackend(this)) {}
ScriptedDialogs::~ScriptedDialogs() { SetDialogBackend(previous_); }

MsgButton ScriptedDialogs::ShowMessage(const MessageRequest& request) {
  messages_.push_back(request);
  if (OnMessage) OnMessage(request);
  if (messageAnswers_.empty()) {
    ADD_FAILURE() << "ScriptedDialogs: no answer left for message box " << messages_.size()
                  << " \"" << Utf16ToUtf8(request.Title) << "\": \"" << Utf16ToUtf8(request.Text)
                  << "\"; it is answered as if closed";
    return ClosedBoxAnswer(request);
  }
  const Scripted answer = messageAnswers_.front();
  messageAnswers_.pop_front();
  if (answer.Failure) throw AppError(*answer.Failure);
  return answer.Button;
}

InputOutcome ScriptedDialogs::ShowInput(const InputRequest& request) {
  inputs_.push_back(request);
  if (inputAnswers_.empty()) {
    ADD_FAILURE() << "ScriptedDialogs: no answer left for input dialog " << inputs_.size()
                  << " \"" << Utf16ToUtf8(request.Lib) << "\"; it is cancelled";
    return {};
  }
  InputOutcome answer = inputAnswers_.front();
  inputAnswers_.pop_front();
  return answer;
}
