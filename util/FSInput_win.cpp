#include "util/FSInput_win.h"

#include "ui/controlIds.h"
#include "util/inputValidation.h"
#include "util/utlDialogs_win.h"

using namespace ControlIds;

namespace {
// "OK" and "Annuler" have the system's standard button size, 75 × 23.
const ControlSpec kControls[] = {
    {lbInput, ControlKind::Label, 20, 16, 325, 17, u"", {}, LabelAlign::Left},
    {edInput, ControlKind::WritableEdit, 20, 40, 245, 22, u""},
    {btnRAZ, ControlKind::Button, 288, 40, 57, 22, u"Effacer"},
    {cbInput, ControlKind::CheckBox, 20, 80, 321, 19, u""},
    {btnAnnul, ControlKind::Button, 64, 120, 75, 23, u"Annuler"},
    {btnOK, ControlKind::Button, 216, 120, 75, 23, u"OK", {}, LabelAlign::Centre, false, true},
    {Calendar1, ControlKind::MonthCalendar, 368, 8, 180, 145, u""},
};

const PageLayout kLayout{u"", 567, 162, {}, kControls, false, true};

constexpr int kCalendarWidth = 204;  // what the window loses without the calendar
constexpr int kRazWidth = 76;        // what the edit field gains without "Effacer"

// Where the table puts a control.
ControlBounds Designed(int id) {
  for (const ControlSpec& spec : kControls)
    if (spec.Id == id) return {spec.X, spec.Y, spec.Width, spec.Height};
  return {};
}

ControlBounds MovedBy(ControlBounds bounds, int by) {
  bounds.Y += by;
  return bounds;
}

SYSTEMTIME SystemDate(const CalendarDate& date) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(date.Year);
  time.wMonth = static_cast<WORD>(date.Month);
  time.wDay = static_cast<WORD>(date.Day);
  return time;
}
}  // namespace

TFSInput::TFSInput() : Form(kLayout) {}

// Laid out from the table each time, so that showing again moves nothing twice.
void TFSInput::FormShow() {
  SetText(lbInput, Lib);
  SetText(edInput, Input);

  ControlBounds label = Designed(lbInput), edit = Designed(edInput), raz = Designed(btnRAZ);
  ControlBounds annul = Designed(btnAnnul), ok = Designed(btnOK);
  SetVisible(cbInput, !Check.empty());
  if (!Check.empty()) {
    SetText(cbInput, Check);
    SetChecked(cbInput, Checked);
  } else {
    // The gap of the check box closes.
    label = MovedBy(label, 12);
    edit = MovedBy(edit, 12);
    raz = MovedBy(raz, 12);
    annul = MovedBy(annul, -16);
    ok.Y = annul.Y;
  }
  SetVisible(btnAnnul, Annul);
  if (!Annul) ok.X = (annul.X + ok.X) / 2;

  if (IsDateType(DType)) {
    if (DefStr.empty()) DefStr = TodayText();
    // A text that names no day leaves the calendar on today.
    if (const auto date = ReadRegionalDate(Input.empty() ? DefStr : Input))
      SetDate(Calendar1, SystemDate(*date));
  }
  SetVisible(btnRAZ, DType == u'd');
  if (DType != u'd') edit.Width += kRazWidth;
  // Without a date the calendar lies outside the window, and out of the keyboard's reach.
  SetVisible(Calendar1, IsDateType(DType));
  SetClientWidth(IsDateType(DType) ? kLayout.ClientWidth : kLayout.ClientWidth - kCalendarWidth);

  SetBounds(lbInput, label);
  SetBounds(edInput, edit);
  SetBounds(btnRAZ, raz);
  SetBounds(btnAnnul, annul);
  SetBounds(btnOK, ok);
  CentreOnWorkArea();
  Focus(edInput);
}

void TFSInput::Click(int id) {
  switch (id) {
    case btnOK: btnOKClick(); break;
    case btnAnnul: btnAnnulClick(); break;
    case btnRAZ: btnRAZClick(); break;
  }
}

void TFSInput::DateSelected(int id, const SYSTEMTIME& date) {
  if (id == Calendar1) Calendar1DateSelected(date);
}

void TFSInput::btnOKClick() {
  const InputVerdict verdict = CheckInput(Text(edInput), {DType, Min, Max, RegExp}, DefStr, Input);
  OK = verdict.Accepted;
  if (!OK) {
    SetText(edInput, verdict.Text);
    Focus(edInput);
    return;
  }
  Input = verdict.Text;
  Checked = !Check.empty() && Form::Checked(cbInput);
  Close();
}

void TFSInput::btnAnnulClick() {
  OK = false;
  Close();
}

void TFSInput::btnRAZClick() { SetText(edInput, u""); }

// Only written: the date is checked, and shortened, when "OK" is pressed.
void TFSInput::Calendar1DateSelected(const SYSTEMTIME& date) {
  SetText(edInput, RegionalDateText({date.wDay, date.wMonth, date.wYear}));
}

InputOutcome ShowInputWindow(const InputRequest& request) {
  FormPtr<TFSInput> window = CreateForm<TFSInput>();
  window->Lib = request.Lib;
  window->Input = request.Input;
  window->DType = request.DType;
  window->Check = request.Check;
  window->Checked = request.Checked;
  window->DefStr = request.DefStr;
  window->Annul = request.Annul;
  window->ShowModal();
  return {window->OK, window->Input, window->Checked};
}

void InstallInputWindow() { SetInputWindow(&ShowInputWindow); }
