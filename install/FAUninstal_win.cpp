#include "install/FAUninstal_win.h"

#include "install/uninstallRun.h"
#include "shell/defGlVar.h"
#include "ui/controlIds.h"
#include "util/utlDialogs.h"

using namespace ControlIds;

namespace {
constexpr ShapeSpec kRectangle1 = CheckBoxPanel(268, 140, 233, 85);
constexpr int kBoxX = kRectangle1.X + 12;
constexpr int kBoxY = kRectangle1.Y;

const ShapeSpec kShapes[] = {Banner(385), kLine1, kButtonBand, kRectangle1};

const ControlSpec kControls[] = {
    {btnUninst, ControlKind::Button, 336, 336, 80, 22, u"Désinstaller >", {}, LabelAlign::Centre,
     false, true},
    {btnAnnul, ControlKind::Button, 464, 336, 80, 22, u"Annuler"},
    {btnPrec, ControlKind::Button, 248, 336, 80, 22, u"< Précédent"},
    {cbInstProg, ControlKind::CheckBox, kBoxX, kBoxY + 16, 209, 19, u"Désinstallation d'Orvelin",
     {}, LabelAlign::Left, true},
    {cbInstDoss, ControlKind::CheckBox, kBoxX, kBoxY + 48, 209, 19,
     u"Désinstallation du dossier projets", {}, LabelAlign::Left, false},
    {lbComp1, ControlKind::Label, 208, 32, 353, 17, u"Cochez les opérations que vous désirez réaliser"},
    {lbComp2, ControlKind::Label, 208, 52, 353, 17,
     u"et décochez celles que vous ne désirez pas réaliser."},
    {lbSel, ControlKind::Label, 208, 112, 353, 17, u"Sélectionnez les seules opérations à réaliser :"},
    {lbInst, ControlKind::Label, 208, 260, 353, 17,
     u"Cliquez sur Désinstaller pour démarrer la désinstallation."},
};

const PageLayout kLayout{u"Désinstallation Orvelin", 576, 380, kShapes, kControls};

constexpr UINT kExecInterval = 1;  // ms: the page shows its running state first
}  // namespace

TFAUninstal::TFAUninstal() : Form(kLayout) {}

void TFAUninstal::FormCreate() {
  Journal(u"Entrée dans FAUninstall");
  SetCaption(u"Désinstallation Orvelin");
  uninst = false;
  DeleteUninstallBatch();
}

void TFAUninstal::FormClose() {
  Journal(u"Sortie de FAUninstall");
  SetPrevPos(Left(), Top());
}

void TFAUninstal::Click(int id) {
  switch (id) {
    case btnPrec: btnPrecClick(); break;
    case btnUninst: btnUninstClick(); break;
    case btnAnnul: btnAnnulClick(); break;
  }
}

void TFAUninstal::Timer(int id) {
  if (id == tmrExec) tmrExecTimer();
}

void TFAUninstal::btnPrecClick() { Close(); }

void TFAUninstal::btnUninstClick() {
  SetVisible(btnPrec, false);
  SetEnabled(btnUninst, false);
  SetEnabled(btnAnnul, false);
  SetText(lbInst, u"Désinstallation en cours.");
  uninst = true;
  StartTimer(tmrExec, kExecInterval);
}

// The whole removal happens here, without handling other events; then the page closes.
void TFAUninstal::tmrExecTimer() {
  StopTimer(tmrExec);
  RunUninstall({Checked(cbInstProg), Checked(cbInstDoss)});
  MsgDlg(u"Désinstallation terminée.", u"O", u"O", u"O");
  Close();
}

void TFAUninstal::btnAnnulClick() {
  if (!uninst &&
      MsgDlg(u"Confirmez-vous l'abandon de la désinstallation ?", u"YN", u"N", u"W") != u"Y")
    return;
  Close();
}
