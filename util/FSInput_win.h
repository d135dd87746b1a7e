// The installer's input window: a prompt, one edit field, an optional check box, a month
// calendar for the date types and "OK" / "Annuler". "OK" keeps the window open until the
// typed text is valid for its type (util/inputValidation.h); a refused text is replaced
// in the field, without a message. No title bar, no close box, above the other windows,
// centred on the work area. InputDlg (util/utlDialogs.h) is the way to open it.
#pragma once
#include <string>

#include "ui/form_win.h"
#include "util/utlDialogs.h"

class TFSInput final : public Form {
public:
  TFSInput();

  char16_t DType = 0;    // the type letter
  bool Annul = false;    // "Annuler" is offered
  bool Checked = false;  // in: the check box's initial state; out: its state at acceptance
  bool OK = false;       // the window closed on an accepted input
  std::u16string Lib;    // the prompt
  std::u16string Input;  // in: the field's initial text; out: the accepted value
  std::u16string Check;  // the check box's caption; empty: no check box
  std::u16string Min, Max;  // bounds; empty: none
  std::u16string DefStr;    // replaces a refused input; the calendar's date when Input is empty
  std::u16string RegExp;    // a pattern the input must match; empty: none

protected:
  void FormShow() override;
  void Click(int id) override;
  void DateSelected(int id, const SYSTEMTIME& date) override;

private:
  void btnOKClick();
  void btnAnnulClick();
  void btnRAZClick();
  void Calendar1DateSelected(const SYSTEMTIME& date);
};

// Fills a TFSInput from the request, shows it modally and reads the outcome back.
InputOutcome ShowInputWindow(const InputRequest& request);
// Makes it the input dialog of the platform's dialogs; the program entry calls this once.
void InstallInputWindow();
