// A machine in a temporary folder for the start-up and the runs: a stand-in for drive C:,
// a desktop, a working folder, an in-memory registry behind GSys, scripted dialogs and
// recorded shortcuts. The process-wide settings and objects are reset afterwards.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "install/shortcut.h"
#include "shell/startup.h"
#include "tests/support/memoryRegistry.h"
#include "tests/support/scriptedDialogs.h"
#include "tests/support/tempDir.h"

class InstallerFixture : public ::testing::Test {
protected:
  InstallerFixture();
  ~InstallerFixture() override;

  // Runs the start-up against the fixture's registry and environment.
  bool Start();
  // The journal's text so far ("" when there is no file).
  std::string JournalText() const;
  // path + separator + each name
  static std::u16string Join(std::u16string path, std::initializer_list<std::u16string_view> names);

  TempDir tmp;
  StartupEnvironment env;
  ScriptedDialogs dialogs;
  MemoryRegistry* registry;  // owned by GSys once started
  std::vector<ShortcutRequest> shortcuts;

private:
  std::unique_ptr<MemoryRegistry> pending_;
  ShortcutWriter previousWriter_;
};
