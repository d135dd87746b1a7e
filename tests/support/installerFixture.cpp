#include "tests/support/installerFixture.h"

#include "shell/defGlVar.h"
#include "util/dataResource.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

InstallerFixture::InstallerFixture()
    : pending_(std::make_unique<MemoryRegistry>()),
      previousWriter_(SetShortcutWriter([this](const ShortcutRequest& r) { shortcuts.push_back(r); })) {
  registry = pending_.get();
  env = {tmp / u"work", tmp / u"Desktop", tmp / u"C"};
  for (const auto& folder : {env.WorkDir, env.DeskDir, env.SystemDrive}) fsys::MakeDir(folder);
}

InstallerFixture::~InstallerFixture() {
  SetShortcutWriter(previousWriter_);
  ReleaseServices();
  InstallSettings = {};
}

bool InstallerFixture::Start() { return StartUp(std::move(pending_), env); }

std::string InstallerFixture::JournalText() const {
  if (!PDbg || !fsys::IsFile(PDbg->JnlPath())) return "";
  return ReadAll(PDbg->JnlPath());
}

std::u16string InstallerFixture::Join(std::u16string path, std::initializer_list<std::u16string_view> names) {
  for (const auto name : names) (path += fsys::PathSep) += name;
  return path;
}
