// CreateShortcut against Wine's shell-link object: the links are read back through
// IShellLinkW and, byte by byte, by a small reader of the shell link file format.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "install/shortcut.h"
#include "shell/defGlVar.h"
#include "tests/support/tempDir.h"
#include "tests/win/winTestSupport.h"
#include "util/fileSystem.h"

namespace {

// The shell link binary format, as far as the checks need it: the header, then the
// optional target ID list and link info, which are skipped, then the counted strings.
namespace link_format {
constexpr std::uint32_t HeaderSize = 0x4C;
constexpr std::uint8_t LinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                        0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
enum Flags : std::uint32_t {
  HasLinkTargetIDList = 1u << 0,
  HasLinkInfo = 1u << 1,
  HasName = 1u << 2,
  HasRelativePath = 1u << 3,
  HasWorkingDir = 1u << 4,
  HasArguments = 1u << 5,
  IsUnicode = 1u << 7,
};

struct Link {
  std::uint32_t Flags = 0;
  std::uint32_t ShowCommand = 0;
  std::uint16_t HotKey = 0;
  std::u16string Name, RelativePath, WorkingDir, Arguments;
};

class Reader {
public:
  explicit Reader(const std::string& bytes) : bytes_(bytes) {}
  bool Has(std::size_t count) const { return at_ <= bytes_.size() && count <= bytes_.size() - at_; }
  std::uint32_t Number(std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
      value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes_[at_ + i])) << (8 * i);
    at_ += width;
    return value;
  }
  void Skip(std::size_t count) { at_ += count; }
  std::size_t At() const { return at_; }
  const char* Here() const { return bytes_.data() + at_; }

private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

std::optional<Link> Parse(const std::string& bytes) {
  Reader in(bytes);
  if (!in.Has(HeaderSize) || in.Number(4) != HeaderSize) return std::nullopt;
  if (std::memcmp(in.Here(), LinkClsid, sizeof LinkClsid) != 0) return std::nullopt;
  in.Skip(sizeof LinkClsid);
  Link link;
  link.Flags = in.Number(4);
  in.Skip(4 + 3 * 8 + 4 + 4);  // attributes, three times, file size, icon index
  link.ShowCommand = in.Number(4);
  link.HotKey = static_cast<std::uint16_t>(in.Number(2));
  in.Skip(2 + 4 + 4);
  if (link.Flags & HasLinkTargetIDList) {
    if (!in.Has(2)) return std::nullopt;
    in.Skip(in.Number(2));
  }
  if (link.Flags & HasLinkInfo) {
    if (!in.Has(4)) return std::nullopt;
    const std::uint32_t size = in.Number(4);
    if (size < 4) return std::nullopt;
    in.Skip(size - 4);
  }
  if (!(link.Flags & IsUnicode)) return std::nullopt;  // the checks expect UTF-16 strings
  const std::pair<Flags, std::u16string*> strings[] = {{HasName, &link.Name},
                                                       {HasRelativePath, &link.RelativePath},
                                                       {HasWorkingDir, &link.WorkingDir},
                                                       {HasArguments, &link.Arguments}};
  for (const auto& [flag, text] : strings) {
    if (!(link.Flags & flag)) continue;
    if (!in.Has(2)) return std::nullopt;
    const std::size_t units = in.Number(2);
    if (!in.Has(units * 2)) return std::nullopt;
    text->resize(units);
    std::memcpy(text->data(), in.Here(), units * 2);
    in.Skip(units * 2);
    // The format's strings have no terminator; Wine writes one and counts it.
    if (!text->empty() && text->back() == u'\0') text->pop_back();
  }
  return link;
}
}  // namespace link_format

class Shortcuts : public testing::Test {
protected:
  void SetUp() override {
    savedInstallDir_ = InstallSettings.InstallDir;
    InstallSettings.InstallDir = installDir_;
    ASSERT_TRUE(fsys::MakeDir(installDir_));
    ASSERT_TRUE(fsys::MakeDir(temp_ / u"Ailleurs"));
    WriteAll(application_, "MZ");
    WriteAll(uninstaller_, "MZ");
  }
  void TearDown() override { InstallSettings.InstallDir = savedInstallDir_; }

  TempDir temp_;
  const std::u16string installDir_ = temp_ / u"Programme Orvelin";
  const std::u16string application_ = installDir_ + u"\\Orvelin.exe";
  const std::u16string uninstaller_ = temp_ / u"Ailleurs" + u"\\Uninstall.exe";

private:
  std::u16string savedInstallDir_;
};

TEST_F(Shortcuts, TheLinkHoldsTargetArgumentsDescriptionAndInstallFolder) {
  const std::u16string link = temp_ / u"Orvelin.lnk";
  const std::u16string description = u"Planification d'équipe";
  const std::u16string arguments = u"/projet \"C:\\Orvelin Projets\"";
  CreateShortcut(application_, link, description, arguments);

  const LinkSettings back = LoadLink(link);
  EXPECT_EQ(back.Target, application_);
  EXPECT_EQ(back.Arguments, arguments);
  EXPECT_EQ(back.Description, description);
  EXPECT_EQ(back.WorkingDir, installDir_);

  using namespace link_format;
  const auto parsed = Parse(ReadAll(link));
  ASSERT_TRUE(parsed.has_value()) << "not a shell link file";
  const std::uint32_t present = HasName | HasWorkingDir | HasArguments | IsUnicode;
  EXPECT_EQ(parsed->Flags & present, present);
  EXPECT_EQ(parsed->Name, description);
  EXPECT_EQ(parsed->WorkingDir, installDir_);
  EXPECT_EQ(parsed->Arguments, arguments);
  EXPECT_EQ(parsed->ShowCommand, static_cast<std::uint32_t>(SW_SHOWNORMAL));  // the object's defaults
  EXPECT_EQ(parsed->HotKey, 0);
}

TEST_F(Shortcuts, EveryLinkWorksInTheInstallFolder) {
  // As the install run writes the uninstaller's link: no description, no arguments.
  const std::u16string link = temp_ / u"Uninstall.lnk";
  CreateShortcut(uninstaller_, link, u"", u"");

  const LinkSettings back = LoadLink(link);
  EXPECT_EQ(back.Target, uninstaller_);
  EXPECT_EQ(back.Arguments, u"");
  EXPECT_EQ(back.Description, u"");
  EXPECT_EQ(back.WorkingDir, installDir_);
  const auto parsed = link_format::Parse(ReadAll(link));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->WorkingDir, installDir_);
}

TEST_F(Shortcuts, ALinkWrittenAgainReplacesTheOldOne) {
  const std::u16string link = temp_ / u"Brasmoor.lnk";
  CreateShortcut(uninstaller_, link, u"ancien", u"/a");
  CreateShortcut(application_, link, u"nouveau", u"/b");

  const LinkSettings back = LoadLink(link);
  EXPECT_EQ(back.Target, application_);
  EXPECT_EQ(back.Arguments, u"/b");
  EXPECT_EQ(back.Description, u"nouveau");
}

TEST_F(Shortcuts, ALinkIntoAMissingFolderIsNotWrittenAndNotReported) {
  const std::u16string folder = temp_ / u"Menu absent";
  const std::u16string link = folder + u"\\Orvelin.lnk";
  EXPECT_EQ(ErrorOf([&] { CreateShortcut(application_, link, u"", u""); }), u"(no error)");
  EXPECT_FALSE(fsys::IsFile(link));
  EXPECT_FALSE(fsys::IsDir(folder));
}

TEST_F(Shortcuts, WithoutTheShellLinkObjectTheErrorNamesTheLink) {
  // A thread that never opened COM cannot create the object.
  const std::u16string link = temp_ / u"Orvelin.lnk";
  std::u16string error;
  std::thread([&] { error = ErrorOf([&] { CreateShortcut(application_, link, u"", u""); }); }).join();
  EXPECT_EQ(error, FillIn(ShortcutObjectUnavailable, link));
  EXPECT_FALSE(fsys::IsFile(link));
}

}  // namespace
