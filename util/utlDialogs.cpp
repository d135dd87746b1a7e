#include "util/utlDialogs.h"

#include <algorithm>
#include <utility>

#include "util/appError.h"

namespace {
DialogBackend* installedBackend = nullptr;
MessageFailureJournal failureJournal = nullptr;

DialogBackend& Backend() { return installedBackend ? *installedBackend : PlatformDialogs(); }

struct ButtonLetter {
  char16_t Letter;
  MsgButton Button;
};
// In the platform's order: the box shows its buttons in this order.
constexpr ButtonLetter kButtons[] = {
    {u'Y', MsgButton::Yes},   {u'N', MsgButton::No},    {u'O', MsgButton::OK},
    {u'A', MsgButton::Abort}, {u'R', MsgButton::Retry}, {u'I', MsgButton::Ignore},
    {u'C', MsgButton::Cancel}};

MsgButton ButtonOf(char16_t letter) {
  for (const auto& b : kButtons)
    if (b.Letter == letter) return b.Button;
  return MsgButton::None;
}

bool Shows(const MessageRequest& request, MsgButton button) {
  return std::find(request.Buttons.begin(), request.Buttons.end(), button) != request.Buttons.end();
}

// The message on one line: each run of line breaks becomes one blank.
std::u16string OneLine(std::u16string_view text) {
  std::u16string line;
  for (const char16_t c : text) {
    const bool lineBreak = c == u'\r' || c == u'\n';
    if (!lineBreak)
      line += c;
    else if (line.empty() || line.back() != u' ')
      line += u' ';
  }
  return line;
}

// One journal line for a box that nobody saw. A journal write that fails asks through a
// box too: that one is not reported again.
void JournalUnshown(const MessageRequest& request, const std::u16string& failure,
                    const std::u16string& answer) {
  static bool journalling = false;
  if (!failureJournal || journalling) return;
  journalling = true;
  failureJournal(failure + u" Message : « " + OneLine(request.Text) + u" », " +
                 (answer.empty() ? u"sans réponse." : u"réponse « " + answer + u" »."));
  journalling = false;
}
}  // namespace

MessageFailureJournal SetMessageFailureJournal(MessageFailureJournal journal) {
  return std::exchange(failureJournal, journal);
}

DialogBackend* SetDialogBackend(DialogBackend* backend) {
  return std::exchange(installedBackend, backend);
}

MessageRequest DecodeMessage(std::u16string_view text, std::u16string_view buttons,
                             std::u16string_view defbtn, std::u16string_view kind) {
  MessageRequest request;
  request.Text = text;
  if (kind == u"E") {
    request.Kind = MsgKind::Error;
    request.Title = u"Erreur";
  } else if (kind == u"I") {
    request.Kind = MsgKind::Information;
    request.Title = u"Informations";
  } else if (kind == u"C") {
    request.Kind = MsgKind::Confirmation;
    request.Title = u"Confirmer";
  } else {
    request.Kind = MsgKind::Warning;
    request.Title = u"Avertissement";
  }
  for (const auto& b : kButtons)
    if (buttons.find(b.Letter) != std::u16string_view::npos) request.Buttons.push_back(b.Button);
  if (request.Buttons.empty()) request.Buttons.push_back(MsgButton::OK);
  request.Default = defbtn.size() == 1 ? ButtonOf(defbtn[0]) : MsgButton::None;
  return request;
}

std::u16string AnswerLetter(MsgButton button) {
  for (const auto& b : kButtons)
    if (b.Button == button) return std::u16string(1, b.Letter);
  return u"";
}

MsgButton ClosedBoxAnswer(const MessageRequest& request) {
  for (const MsgButton closing : {MsgButton::Cancel, MsgButton::No})
    if (Shows(request, closing)) return closing;
  if (request.Buttons.size() == 1 && request.Buttons.front() == MsgButton::OK) return MsgButton::OK;
  return MsgButton::None;
}

std::u16string MsgDlg(std::u16string_view text, std::u16string_view buttons,
                      std::u16string_view defbtn, std::u16string_view kind) {
  const MessageRequest request = DecodeMessage(text, buttons, defbtn, kind);
  MsgButton pressed = MsgButton::None;
  try {
    pressed = Backend().ShowMessage(request);
  } catch (const AppError& failure) {
    pressed = ClosedBoxAnswer(request);
    JournalUnshown(request, failure.Message(), AnswerLetter(pressed));
  }
  // Only a button of the box can answer.
  return Shows(request, pressed) ? AnswerLetter(pressed) : u"";
}

std::u16string InputDlg(std::u16string_view Lib, std::u16string& Input, char16_t DType,
                        std::u16string_view Check, bool& Checked, std::u16string_view DefStr,
                        bool Annul) {
  InputRequest request{std::u16string(Lib), Input, DType, std::u16string(Check), Checked,
                       std::u16string(DefStr), Annul};
  const InputOutcome outcome = Backend().ShowInput(request);
  if (!outcome.OK) return u"C";
  Input = outcome.Input;
  Checked = outcome.Checked;
  return u"O";
}
