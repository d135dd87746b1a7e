#include "install/FAInstall_win.h"

#include "install/installRun.h"
#include "shell/defGlVar.h"
#include "shell/startup.h"
#include "ui/controlIds.h"
#include "util/utlDialogs.h"

using namespace ControlIds;

namespace {
constexpr ShapeSpec kRectangle1 = CheckBoxPanel(260, 128, 245, 105);
// The check boxes stand in the panel, 12 pixels from its left.
constexpr int kBoxX = kRectangle1.X + 12;
constexpr int kBoxY = kRectangle1.Y;

const ShapeSpec kShapes[] = {Banner(377), kLine1, kButtonBand, kRectangle1};

const ControlSpec kControls[] = {
    {btnInstall, ControlKind::Button, 336, 336, 80, 22, u"Installer >", {}, LabelAlign::Centre, false,
     true},
    {btnAnnul, ControlKind::Button, 464, 336, 80, 22, u"Annuler"},
    {btnPrec, ControlKind::Button, 248, 336, 80, 22, u"< Précédent"},
    {cbInstProg, ControlKind::CheckBox, kBoxX, kBoxY + 12, 221, 19, u"Installation d'Orvelin", {},
     LabelAlign::Left, true},
    {cbInstRacc, ControlKind::CheckBox, kBoxX, kBoxY + 42, 221, 19,
     u"Création d'un raccourci bureau", {}, LabelAlign::Left, true},
    {cbInstDoss, ControlKind::CheckBox, kBoxX, kBoxY + 72, 221, 19,
     u"Installation du dossier projets", {}, LabelAlign::Left, true},
    {lbComp1, ControlKind::Label, 208, 24, 353, 17, u"Cochez les opérations que vous désirez réaliser"},
    {lbComp2, ControlKind::Label, 208, 44, 353, 17,
     u"et décochez celles que vous ne désirez pas réaliser."},
    {lbSel, ControlKind::Label, 208, 92, 353, 17, u"Sélectionnez les seules opérations à réaliser :"},
    {lbInst, ControlKind::Label, 208, 276, 353, 17,
     u"Cliquez sur Installer pour démarrer l'installation."},
};

const PageLayout kLayout{u"Installation du logiciel Orvelin", 576, 380, kShapes, kControls};

constexpr UINT kExecInterval = 1;  // ms: the page shows its running state first
}  // namespace

TFAInstall::TFAInstall() : Form(kLayout) {}

void TFAInstall::FormCreate() {
  Journal(u"Entrée dans FAInstall");
  SetCaption(InstallCaption());
  inst = false;
  SetChecked(cbInstDoss, ProjectsFolderWanted());
}

void TFAInstall::FormClose() {
  Journal(u"Sortie de FAInstall");
  SetPrevPos(Left(), Top());
}

void TFAInstall::Click(int id) {
  switch (id) {
    case btnPrec: btnPrecClick(); break;
    case btnInstall: btnInstallClick(); break;
    case btnAnnul: btnAnnulClick(); break;
  }
}

void TFAInstall::Change(int id) {
  if (id == cbInstProg) cbInstProgChange();
}

void TFAInstall::Timer(int id) {
  if (id == tmrExec) tmrExecTimer();
}

// The desktop shortcut goes with the program: the earlier choice is not remembered.
void TFAInstall::cbInstProgChange() {
  const bool program = Checked(cbInstProg);
  SetEnabled(cbInstRacc, program);
  SetChecked(cbInstRacc, program);
}

void TFAInstall::btnPrecClick() { Close(); }

void TFAInstall::btnInstallClick() {
  SetVisible(btnPrec, false);
  SetEnabled(btnInstall, false);
  SetEnabled(btnAnnul, false);
  SetText(lbInst, u"Installation en cours.");
  inst = true;
  StartTimer(tmrExec, kExecInterval);
}

// The whole run happens here, without handling other events. An error ends it: the
// default error handler shows it and the page stays as it is, closable by its close box.
void TFAInstall::tmrExecTimer() {
  StopTimer(tmrExec);
  RunInstall({Checked(cbInstProg), Checked(cbInstRacc), Checked(cbInstDoss)});
  SetText(lbInst, u"Installation terminée.");
  SetEnabled(btnAnnul, true);
  SetText(btnAnnul, u"Quitter");
}

void TFAInstall::btnAnnulClick() {
  if (!inst && MsgDlg(u"Confirmez-vous l'abandon de l'installation ?", u"YN", u"N", u"W") != u"Y")
    return;
  Close();
  ClosePrev();
}
