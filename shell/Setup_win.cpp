// Program entry of Setup_Orvelin.exe and its main window, the welcome page: install or
// uninstall. Started with the parameter "uninstall", the program opens the uninstall
// page at once and ends when it closes. With "/quiet" it installs or removes with no
// window at all; "/?" shows the commands.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <vector>

#include "install/FAUninstal_win.h"
#include "shell/FAPrepInst_win.h"
#include "shell/commandLine.h"
#include "shell/quietRun.h"
#include "shell/startup.h"
#include "ui/controlIds.h"
#include "ui/form_win.h"
#include "util/FSInput_win.h"
#include "util/appError.h"
#include "util/systemLibrary_win.h"
#include "util/utlDialogs.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
const ShapeSpec kShapes[] = {Banner(385), kLine1, kButtonBand};

const ControlSpec kControls[] = {
    {btnSuiv, ControlKind::Button, 336, 336, 80, 22, u"Suivant >", {}, LabelAlign::Centre, false, true},
    {btnQuit, ControlKind::Button, 464, 336, 80, 22, u"Quitter"},
    {rbInstall, ControlKind::RadioButton, 312, 144, 169, 19, u"Installer Orvelin", {},
     LabelAlign::Left, true},
    {rbUninstall, ControlKind::RadioButton, 312, 200, 169, 19, u"Désinstaller Orvelin", {},
     LabelAlign::Left},
    {lbBienv1, ControlKind::Label, 208, 32, 353, 17, u"Bienvenue dans le programme d'installation",
     kSemiBold13},
    {lbBienv2, ControlKind::Label, 208, 52, 353, 17, u"du logiciel Orvelin", kSemiBold13},
    {lbSuiv, ControlKind::Label, 208, 264, 353, 17, u"Cliquez sur Suivant pour continuer."},
    {lbSel, ControlKind::Label, 208, 112, 353, 17, u"Veuillez sélectionner l'option souhaitée :"},
};

const PageLayout kLayout{u"Installation du logiciel Orvelin", 576, 380, kShapes, kControls};

// The command-line parameters after the program's name.
std::vector<std::u16string> Parameters() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::u16string> parameters;
  for (int i = 1; arguments && i < count; ++i) parameters.push_back(FromW(arguments[i]));
  LocalFree(arguments);
  return parameters;
}

class TForm1 final : public Form {
public:
  TForm1() : Form(kLayout) { MakeMain(); }

protected:
  void FormCreate() override {
    InitOK = StartUp(MakeSystemServices(), CurrentEnvironment());
    if (InitOK) SetCaption(InstallCaption());
  }

  // Runs each time the window becomes visible; a refused start-up ends the program here.
  void FormShow() override {
    if (!InitOK) {
      Close();
      return;
    }
    SetChecked(rbInstall, true);
    SetChecked(rbUninstall, false);
    if (ParseCommandLine(Parameters()).Uninstall) {
      OpenUninstal(false);
      Close();
    }
  }

  void FormClose() override { CloseJournal(InitOK); }
  void FormDestroy() override { ReleaseServices(); }

  void Click(int id) override {
    switch (id) {
      case btnSuiv: btnSuivClick(); break;
      case btnQuit: btnQuitClick(); break;
    }
  }

private:
  void btnSuivClick() {
    if (Checked(rbInstall))
      OpenPrepInst();
    else if (Checked(rbUninstall))
      OpenUninstal(true);
  }

  void btnQuitClick() { Close(); }

  void CloseForm() { Close(); }

  void SetFormPos(int left, int top) {
    SetLeft(left);
    SetTop(top);
  }

  // The install path never comes back to this page: the program ends with it.
  void OpenPrepInst() {
    {
      FormPtr<TFAPrepInst> page = CreateForm<TFAPrepInst>();
      page->ClosePrev = [this] { CloseForm(); };
      page->SetPrevPos = [this](int left, int top) { SetFormPos(left, top); };
      OpenPage(*page);
    }
    Close();
  }

  void OpenUninstal(bool showAgain) {
    FormPtr<TFAUninstal> page = CreateForm<TFAUninstal>();
    page->SetPrevPos = [this](int left, int top) { SetFormPos(left, top); };
    OpenPage(*page, showAgain);
  }

  bool InitOK = false;
};
}  // namespace

// The wizard: the welcome window until it closes. Its exit code is always 0.
int RunWizard() {
  InstallInputWindow();
  try {
    FormPtr<TForm1> welcome = CreateForm<TForm1>();
    RunApplication(*welcome);
  } catch (const AppError& error) {
    ShowError(error.Message());
  }
  return 0;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearch();  // before anything can load a DLL
  RegisterCommonControls(ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES);
  const CommandLine line = ParseCommandLine(Parameters());
  if (line.Help) {
    MsgDlg(CommandLineHelp(), u"O", u"O", u"I");
    return 0;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the shell links
  const int code = line.Quiet ? RunQuiet(line, MakeSystemServices(), CurrentEnvironment()) : RunWizard();
  CoUninitialize();
  return code;
}
