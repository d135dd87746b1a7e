#include "util/utlDialogs.h"

#include <algorithm>
#include <utility>

namespace {
DialogBackend* installedBackend = nullptr;

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
}  // namespace

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

std::u16string MsgDlg(std::u16string_view text, std::u16string_view buttons,
                      std::u16string_view defbtn, std::u16string_view kind) {
  const MessageRequest request = DecodeMessage(text, buttons, defbtn, kind);
  const MsgButton pressed = Backend().ShowMessage(request);
  // Only a button of the box can answer.
  const bool shown = std::find(request.Buttons.begin(), request.Buttons.end(), pressed) !=
                     request.Buttons.end();
  return shown ? AnswerLetter(pressed) : u"";
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
