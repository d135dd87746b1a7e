// The unattended run ("/quiet"): the start-up and the installation or the removal of the
// interactive program with the same rules, and no window at all. What the program would
// have shown goes to the log ("/log="), its questions answered as a user who declines,
// and the outcome is the exit code.
#pragma once
#include <memory>

#include "shell/commandLine.h"
#include "shell/startup.h"

// Runs what the command line asks and releases the services; the exit code.
int RunQuiet(const CommandLine& line, std::unique_ptr<GenSys> sys, const StartupEnvironment& env);
