#include "shell/FAPrepInst_win.h"

#include "install/FAInstall_win.h"
#include "shell/defGlVar.h"
#include "shell/folderChoice.h"
#include "shell/startup.h"
#include "ui/controlIds.h"
#include "ui/folderDialog_win.h"
#include "util/utlDialogs.h"

using namespace ControlIds;

namespace {
constexpr std::u16string_view kBrowse = u"Parcourir…";
constexpr FontSpec kGlyphFont{18, FW_NORMAL, false};

const ShapeSpec kShapes[] = {
    {ShapeKind::Rectangle, 520, 196, 33, 21, kWhite, 0.5},  // rctProg, under btnProg
    {ShapeKind::Rectangle, 520, 244, 33, 21, kWhite, 0.5},  // rctDoss, under btnDoss
    Banner(385),
    kLine1,
    kButtonBand,
};

// In the keyboard order: the buttons and fields first. Each field follows its label, which
// names it for screen readers (labels are no tab stops); the folder buttons are named by
// their text and show an open folder.
const ControlSpec kControls[] = {
    {btnSuiv, ControlKind::Button, 336, 336, 80, 22, u"Suivant >", {}, LabelAlign::Centre, false, true},
    {btnAnnul, ControlKind::Button, 464, 336, 80, 22, u"Annuler"},
    {btnPrec, ControlKind::Button, 248, 336, 80, 22, u"< Précédent"},
    {lbRepProg, ControlKind::Label, 224, 176, 225, 17, u"Répertoire d'installation d'Orvelin :", {},
     LabelAlign::Left},
    {edRepProg, ControlKind::Edit, 216, 196, 289, 21, u""},
    {lbRepDoss, ControlKind::Label, 224, 224, 137, 17, u"Répertoire des projets :", {},
     LabelAlign::Left},
    {edRepDoss, ControlKind::Edit, 216, 244, 289, 21, u""},
    {btnProg, ControlKind::FolderButton, 520, 196, 33, 21, kBrowse, kGlyphFont},
    {btnDoss, ControlKind::FolderButton, 520, 244, 33, 21, kBrowse, kGlyphFont},
    {lbDir1, ControlKind::Label, 208, 16, 353, 17, u"Deux répertoires sont utilisés par Orvelin :"},
    {lbDir2, ControlKind::Label, 208, 34, 353, 17,
     u"d'une part pour le logiciel lui-même et ses fichiers propres"},
    {lbDir3, ControlKind::Label, 208, 52, 353, 17,
     u"et d'autre part pour les projets et les fichiers de référence."},
    {lbDir4, ControlKind::Label, 208, 80, 353, 17,
     u"Si les chemins proposés ne vous conviennent pas, vous pouvez"},
    {lbDir5, ControlKind::Label, 208, 98, 353, 17,
     u"en choisir d'autres. Sinon, passez directement à l'étape suivante."},
    {lbDir6, ControlKind::Label, 208, 124, 353, 17, u"En cas de réinstallation, il est recommandé",
     kUnderlined},
    {lbDir7, ControlKind::Label, 208, 142, 353, 17, u"de conserver les chemins précédemment définis.",
     kUnderlined},
    {lbSuiv, ControlKind::Label, 208, 280, 353, 17, u"Cliquez sur Suivant pour continuer."},
};

const PageLayout kLayout{u"Installation du logiciel Orvelin", 576, 380, kShapes, kControls};
}  // namespace

TFAPrepInst::TFAPrepInst() : Form(kLayout) {}

void TFAPrepInst::FormCreate() { SetCaption(InstallCaption()); }

void TFAPrepInst::FormShow() {
  SetText(edRepProg, InstallSettings.InstallDir);
  SetText(edRepDoss, InstallSettings.ProjDir);
}

void TFAPrepInst::FormClose() { SetPrevPos(Left(), Top()); }

void TFAPrepInst::Click(int id) {
  switch (id) {
    case btnProg: btnProgClick(); break;
    case btnDoss: btnDossClick(); break;
    case btnPrec: btnPrecClick(); break;
    case btnSuiv: btnSuivClick(); break;
    case btnAnnul: btnAnnulClick(); break;
  }
}

// The picker opens at the folder of the settings, not at an unconfirmed choice.
void TFAPrepInst::btnProgClick() {
  if (auto chosen = ChooseFolder(Handle(), u"Répertoire Orvelin", InstallSettings.InstallDir))
    SetText(edRepProg, *chosen);
}

void TFAPrepInst::btnDossClick() {
  if (auto chosen = ChooseFolder(Handle(), u"Répertoire dossier projets", InstallSettings.ProjDir))
    SetText(edRepDoss, *chosen);
}

void TFAPrepInst::btnPrecClick() { Close(); }

void TFAPrepInst::btnSuivClick() {
  StoreFolders(Text(edRepProg), Text(edRepDoss));
  OpenInstall();
}

void TFAPrepInst::btnAnnulClick() {
  if (MsgDlg(u"Confirmez-vous l'abandon de l'installation ?", u"YN", u"N", u"W") != u"Y") return;
  Close();
  ClosePrev();
}

void TFAPrepInst::CloseForm() { Close(); }

void TFAPrepInst::SetFormPos(int left, int top) {
  SetLeft(left);
  SetTop(top);
}

void TFAPrepInst::OpenInstall() {
  FormPtr<TFAInstall> page = CreateForm<TFAInstall>();
  page->ClosePrev = [this] { CloseForm(); };
  page->SetPrevPos = [this](int left, int top) { SetFormPos(left, top); };
  OpenPage(*page);
}
