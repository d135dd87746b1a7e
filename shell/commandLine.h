// The command line. Interactively only the first parameter counts ("uninstall" opens
// the uninstall page); "/quiet" installs or removes with no window at all, for the
// administrators who deploy the program with a script; "/?" shows the commands.
#pragma once
#include <string>
#include <vector>

struct CommandLine {
  bool Uninstall = false;  // the first parameter is "uninstall"
  bool Quiet = false;      // "/quiet": no window, the outcome in the exit code
  bool Help = false;       // "/?" or "/help"
  std::u16string InstallDir, ProjDir;  // "/installdir=", "/projdir=": empty when not given
  std::u16string LogFile;              // "/log=": empty when not given
  bool NoDesktop = false, NoProjects = false, NoProgram = false;  // for an installation
  bool RemoveProjects = false;                                     // for a removal
  // Why the line cannot be obeyed in quiet mode (an unknown option, a value missing, an
  // option of the other run); empty when it can. Interactively every line is obeyed.
  std::u16string Fault;
};

// The parameters after the program's name. Names are compared without regard to
// letter case, values are kept as given.
CommandLine ParseCommandLine(const std::vector<std::u16string>& parameters);

// What "/?" shows: the commands and the exit codes.
std::u16string CommandLineHelp();

// The exit codes of a quiet run.
enum ExitCode : int {
  kDone = 0,
  kAnotherCopyRunning = 1,
  kApplicationRunning = 2,
  kRunFailed = 3,
  kBadCommandLine = 4,
};
