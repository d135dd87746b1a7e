// The program's questions to the user. Kinds, buttons and answers are single letters:
// kinds "W" warning, "E" error, "I" information, "C" confirmation (any other: warning);
// buttons and answers "Y" Yes, "N" No, "O" OK, "C" Cancel, "A" Abort, "R" Retry,
// "I" Ignore; "" for a box closed by no button.
//
// The dialogs themselves are behind a backend: on Windows real modal windows, in the
// native build a backend that declines every question, and in tests a scripted one.
#pragma once
#include <string>
#include <string_view>
#include <vector>

enum class MsgKind { Warning, Error, Information, Confirmation };
enum class MsgButton { None, Yes, No, OK, Cancel, Abort, Retry, Ignore };

struct MessageRequest {
  std::u16string Text;
  MsgKind Kind = MsgKind::Warning;
  std::u16string Title;            // the kind's French title
  std::vector<MsgButton> Buttons;  // each once, in the platform's order
  MsgButton Default = MsgButton::None;
};

struct InputRequest {
  std::u16string Lib;
  std::u16string Input;
  char16_t DType = u'A';
  std::u16string Check;
  bool Checked = false;
  std::u16string DefStr;
  bool Annul = false;
};

struct InputOutcome {
  bool OK = false;
  std::u16string Input;
  bool Checked = false;
};

class DialogBackend {
public:
  virtual ~DialogBackend() = default;
  // The button that closed the box (None: no button). A box that could not be shown at
  // all raises AppError, whose message says why.
  virtual MsgButton ShowMessage(const MessageRequest& request) = 0;
  virtual InputOutcome ShowInput(const InputRequest& request) = 0;
};

// The platform's backend (real windows on Windows, no answers elsewhere).
DialogBackend& PlatformDialogs();
// Installs a backend for the whole process (nullptr: the platform's); returns the old one.
DialogBackend* SetDialogBackend(DialogBackend* backend);

// Decodes the letters into a request: the kind's title and look, each known button once
// in the platform's order (letters outside the table add no button; a box left without
// any shows OK), and the default button.
MessageRequest DecodeMessage(std::u16string_view text, std::u16string_view buttons,
                             std::u16string_view defbtn, std::u16string_view kind);
std::u16string AnswerLetter(MsgButton button);
// The answer of the box closed without a choice: Cancel, else No, where the box has one;
// OK when it is the only button; None otherwise.
MsgButton ClosedBoxAnswer(const MessageRequest& request);

// Where MsgDlg writes that a box could not be shown (the debug journal, once it exists);
// returns the earlier one. Null: nowhere.
using MessageFailureJournal = void (*)(std::u16string_view line);
MessageFailureJournal SetMessageFailureJournal(MessageFailureJournal journal);

// A modal message box; returns the letter of the button that closed it. A box that could
// not be shown answers as if closed (ClosedBoxAnswer), so that no caller waits or retries
// for ever on a question nobody saw, and the failure goes to the journal.
std::u16string MsgDlg(std::u16string_view text, std::u16string_view buttons,
                      std::u16string_view defbtn, std::u16string_view kind);

// The input dialog; returns "O" when a valid input was confirmed (Input and Checked then
// hold the accepted values), "C" otherwise (both keep what was passed in).
std::u16string InputDlg(std::u16string_view Lib, std::u16string& Input, char16_t DType,
                        std::u16string_view Check, bool& Checked, std::u16string_view DefStr,
                        bool Annul);
