// The start-up of the setup program (run by the welcome window's creation handler) and
// its counterparts at close and destruction.
#pragma once
#include <memory>
#include <string>

#include "system/clsSystem.h"

// What the start-up takes from the process and the system.
struct StartupEnvironment {
  std::u16string WorkDir;      // the current directory
  std::u16string DeskDir;      // the user's desktop folder; empty when unknown
  std::u16string SystemDrive;  // root of the fixed system paths: "C:" on Windows
};
// The environment of this process, from the platform.
StartupEnvironment CurrentEnvironment();

enum class StartupOutcome {
  Running,             // the settings, the install folder and PDbg are set up
  AnotherCopy,         // a second copy of the setup program runs: refused silently
  ApplicationRunning,  // the application runs: refused after telling the user
};

// Counts the running copies, and when the start-up may go on fills InstallSettings,
// creates the install folder and PDbg, and writes the first journal line. GSys is set to
// sys in every case.
StartupOutcome RunStartUp(std::unique_ptr<GenSys> sys, const StartupEnvironment& env);
// The same; InitOK: true when the start-up went through.
bool StartUp(std::unique_ptr<GenSys> sys, const StartupEnvironment& env);

// "Installation Orvelin " + Version: the caption of the welcome window and install pages.
std::u16string InstallCaption();

// The welcome window's close: the journal's last line when the start-up went through.
void CloseJournal(bool InitOK);
// The welcome window's destruction: releases GSys and PDbg.
void ReleaseServices();
