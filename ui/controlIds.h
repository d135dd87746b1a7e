// The numeric IDs of the pages' controls, shared by the program and the test driver.
// A control keeps its ID on every page that has it (btnAnnul is the same number on the
// folder-choice, install and uninstall pages). IDOK and IDCANCEL (1, 2) are left out: the
// keyboard interface of the windows sends them for Enter and Escape.
#pragma once

namespace ControlIds {
// Buttons.
inline constexpr int btnSuiv = 101;     // "Suivant >"
inline constexpr int btnQuit = 102;     // "Quitter" (welcome page)
inline constexpr int btnPrec = 103;     // "< Précédent"
inline constexpr int btnAnnul = 104;    // "Annuler", later "Quitter" (install page)
inline constexpr int btnInstall = 105;  // "Installer >"
inline constexpr int btnUninst = 106;   // "Désinstaller >"
inline constexpr int btnProg = 107;     // folder button of the program folder
inline constexpr int btnDoss = 108;     // folder button of the projects folder
inline constexpr int btnOK = 109;       // "OK" (input dialog)
inline constexpr int btnRAZ = 110;      // "Effacer" (input dialog)

// Options, check boxes and fields.
inline constexpr int rbInstall = 121;
inline constexpr int rbUninstall = 122;
inline constexpr int cbInstProg = 123;
inline constexpr int cbInstRacc = 124;
inline constexpr int cbInstDoss = 125;
inline constexpr int edRepProg = 126;
inline constexpr int edRepDoss = 127;
inline constexpr int cbInput = 128;  // the input dialog's check box, edit field and calendar
inline constexpr int edInput = 129;
inline constexpr int Calendar1 = 130;

// Labels.
inline constexpr int lbBienv1 = 141;
inline constexpr int lbBienv2 = 142;
inline constexpr int lbSuiv = 143;
inline constexpr int lbSel = 144;
inline constexpr int lbComp1 = 145;
inline constexpr int lbComp2 = 146;
inline constexpr int lbInst = 147;
inline constexpr int lbRepProg = 148;
inline constexpr int lbRepDoss = 149;
inline constexpr int lbDir1 = 151;  // lbDir1 to lbDir7 follow on
inline constexpr int lbDir2 = 152;
inline constexpr int lbDir3 = 153;
inline constexpr int lbDir4 = 154;
inline constexpr int lbDir5 = 155;
inline constexpr int lbDir6 = 156;
inline constexpr int lbDir7 = 157;
inline constexpr int lbInput = 158;  // the input dialog's prompt

// Timers.
inline constexpr int tmrExec = 181;
}  // namespace ControlIds
