#include "tests/e2e/journeys.h"

#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/win/winTestSupport.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
constexpr std::uint32_t kCurrentUser = 0x80000001;
constexpr std::uint32_t kLocalMachine = 0x80000002;
const std::u16string kKey = u"Software\\Brasmoor";

std::u16string Text(const RawValue& value) {
  std::u16string text(reinterpret_cast<const char16_t*>(value.Data.data()), value.Data.size() / 2);
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

std::u16string FullPath(const std::u16string& path) {
  wchar_t full[1024] = {};
  const DWORD length = GetFullPathNameW(W(path), 1024, full, nullptr);
  return length > 0 && length < 1024 ? FromW(full, length) : path;
}

// The same file or folder, however the path is written ("C:\a\\b" names "C:\a\b").
bool SamePath(const std::u16string& a, const std::u16string& b) {
  return CompareStringOrdinal(W(FullPath(a)), -1, W(FullPath(b)), -1, TRUE) == CSTR_EQUAL;
}

void DeleteMachineKey(REGSAM view) {
  HKEY software = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | view, &software) !=
      ERROR_SUCCESS)
    return;
  RegDeleteTreeW(software, L"Brasmoor");
  RegDeleteKeyExW(software, L"Brasmoor", view, 0);
  RegCloseKey(software);
}

// The files below folder, by their paths relative to it.
void ListFiles(const std::u16string& folder, const std::u16string& prefix,
               std::vector<std::u16string>& files) {
  for (const std::u16string& name : FolderEntries(folder)) {
    const std::u16string relative = prefix.empty() ? name : prefix + u"\\" + name;
    if (IsFolder(folder + u"\\" + name))
      ListFiles(folder + u"\\" + name, relative, files);
    else
      files.push_back(relative);
  }
}

// The files of one payload folder as the program must have written them.
void ExpectPayloadFiles(const std::u16string& payloadFolder, const std::u16string& destination) {
  std::vector<std::u16string> files;
  ListFiles(Settings().Payload + u"\\" + payloadFolder, u"", files);
  ASSERT_FALSE(files.empty()) << "no payload beside the program";
  for (const std::u16string& file : files) {
    SCOPED_TRACE(Narrow(file));
    const std::u16string installed = destination + u"\\" + file;
    ASSERT_TRUE(Exists(installed));
    EXPECT_TRUE(ReadFileBytes(installed) == ReadFileBytes(Settings().Payload + u"\\" +
                                                          payloadFolder + u"\\" + file));
  }
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT common;
  return IntersectRect(&common, &a, &b) != 0;
}

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::u16string ClassOf(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return FromW(name);
}

// No text reaches the edges of its control: a centred label is clear on its four sides,
// a left-aligned one (whose text starts at its edge) on the other three, a check box or
// radio button on its right; a push button inside its frame (at most 4 pixels at 96 DPI
// in Wine, the focus frame included).
void ExpectTextInside(const Snapshot& shot, HWND control) {
  RECT size;
  GetClientRect(control, &size);
  const int w = size.right, h = size.bottom;
  const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
  const std::u16string kind = ClassOf(control);
  SCOPED_TRACE(Narrow(u"control " + TextOf(control)));
  if (lstrcmpiW(W(kind), L"Static") == 0) {
    const DWORD type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER) return;  // an icon
    if (type == SS_CENTER) {
      EXPECT_FALSE(shot.InkIn(control, {0, 0, 1, h}));
    }
    EXPECT_FALSE(shot.InkIn(control, {w - 1, 0, w, h}));
    EXPECT_FALSE(shot.InkIn(control, {0, 0, w, 1}));
    EXPECT_FALSE(shot.InkIn(control, {0, h - 1, w, h}));
    return;
  }
  if (lstrcmpiW(W(kind), L"Button") != 0) return;
  switch (style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
    case BS_AUTORADIOBUTTON: EXPECT_FALSE(shot.InkIn(control, {w - 1, 0, w, h})); break;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON: {
      const int frame = MulDiv(4, static_cast<int>(DpiOf(control)), 96);
      EXPECT_FALSE(shot.InkIn(control, {frame, frame, frame + 1, h - frame}));
      EXPECT_FALSE(shot.InkIn(control, {w - frame - 1, frame, w - frame, h - frame}));
      break;
    }
    default: break;
  }
}

// The client area holds the visible controls, each clear of the others.
void ExpectControlsInside(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  std::vector<HWND> shown;
  for (HWND child : Children(window))
    if (IsShown(child)) shown.push_back(child);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const RECT rect = ClientRectOf(shown[i]);
    SCOPED_TRACE(Narrow(u"control " + TextOf(shown[i])));
    EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                rect.bottom <= client.bottom)
        << rect << " in " << client;
    for (std::size_t j = i + 1; j < shown.size(); ++j)
      EXPECT_FALSE(Overlap(rect, ClientRectOf(shown[j])))
          << Narrow(u"over " + TextOf(shown[j]));
  }
}
}  // namespace

std::u16string DesktopLink() {
  wchar_t desktop[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, desktop);
  return FromW(desktop) + u"\\Brasmoor.lnk";
}

std::u16string LongDir() {
  std::u16string path = u"C:\\Orvelin chemin très long";
  for (int level = 1; path.size() < 200; ++level)
    path += u"\\Niveau " + std::u16string(1, static_cast<char16_t>(u'0' + level)) +
            u" du dossier d'installation";
  return path;
}

void CleanMachine::SetUp() {
  SetUserKeyRules(u"D:(A;;KA;;;WD)");  // a key left refusing writes would refuse its deletion
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brasmoor");
  DeleteMachineKey(KEY_WOW64_32KEY);
  DeleteMachineKey(KEY_WOW64_64KEY);
  const std::u16string longDir = LongDir();
  for (const std::u16string& folder :
       {kInstallDir, kProjDir, kMenuDir, kAccentProgDir, kAccentProjDir, kTrailingDir, kSharedDir,
        kBlockingFile, longDir.substr(0, longDir.find(u'\\', 3)), SetupProcess::WorkFolder()})
    RemoveTree(folder);
  DeleteFileW(W(DesktopLink()));
}

bool Exists(const std::u16string& path) {
  return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteFileText(const std::u16string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadFileBytes(const std::u16string& path) {
  HANDLE file = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

std::vector<std::u16string> FolderEntries(const std::u16string& folder) {
  std::vector<std::u16string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(W(folder + u"\\*"), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::u16string name = FromW(found.cFileName);
    if (name != u"." && name != u"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const std::u16string& path) {
  std::u16string target = path;
  while (target.size() > 3 && target.back() == u'\\') target.pop_back();
  if (!IsFolder(target)) {
    SetFileAttributesW(W(target), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(W(target));
    return;
  }
  for (const std::u16string& name : FolderEntries(target)) RemoveTree(target + u"\\" + name);
  RemoveDirectoryW(W(target));
}

std::u16string UserValue(const std::u16string& name) {
  const auto value = ReadRaw(kCurrentUser, kKey, name);
  return value && value->Type == REG_SZ ? Text(*value) : u"<none>";
}

void SetUserValue(const std::u16string& name, const std::u16string& value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, W(kKey), W(name), REG_SZ, W(value),
                  static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
}

bool UserKeyPresent() { return KeyPresent(kCurrentUser, kKey); }
bool MachineKeyPresent() { return KeyPresent(kLocalMachine, kKey, View32); }

bool SetUserKeyRules(const std::u16string& sddl) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, W(kKey), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
  PSECURITY_DESCRIPTOR rules = nullptr;
  bool set = ConvertStringSecurityDescriptorToSecurityDescriptorW(W(sddl), SDDL_REVISION_1, &rules,
                                                                  nullptr) &&
             RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, rules) == ERROR_SUCCESS;
  LocalFree(rules);
  RegCloseKey(key);
  return set;
}

HWND NextPage(DWORD processId, HWND window, int button, const std::u16string& caption) {
  if (!Press(Control(window, button)) || !WaitUntilGone(window)) return nullptr;
  return WaitForWindow(processId, caption);
}

HWND OpenFolderPage(const Process& setup) {
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  return welcome ? NextPage(setup.Id(), welcome, btnSuiv, InstallCaption()) : nullptr;
}

HWND OpenInstallPage(const Process& setup) {
  HWND folders = OpenFolderPage(setup);
  return folders ? NextPage(setup.Id(), folders, btnSuiv, InstallCaption()) : nullptr;
}

HWND OpenUninstallPage(const Process& setup) {
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  if (!welcome || !Click(Control(welcome, rbUninstall))) return nullptr;
  return NextPage(setup.Id(), welcome, btnSuiv, kUninstallCaption);
}

bool ChooseFolder(const Process& setup, HWND folders, int button, const std::u16string& folder,
                  const std::u16string& shown) {
  const std::u16string title =
      button == btnProg ? u"Répertoire Orvelin" : u"Répertoire dossier projets";
  const int field = button == btnProg ? edRepProg : edRepDoss;
  const std::u16string& expected = shown.empty() ? folder : shown;
  return Press(Control(folders, button)) && AnswerFolderPicker(setup.Id(), title, folder) &&
         WaitUntil([&] { return TextOf(Control(folders, field)) == expected; });
}

std::optional<std::u16string> Cancel(const Process& setup, HWND page, const std::u16string& answer,
                                     const std::u16string& screenshot) {
  if (!Press(Control(page, btnAnnul))) return std::nullopt;
  HWND box = WaitForWindow(setup.Id(), u"Avertissement");
  if (!box) return std::nullopt;
  const BoxContent question = ReadBox(box);
  EXPECT_TRUE(question.Buttons == (std::vector<std::u16string>{u"Oui", u"Non"}));
  EXPECT_TRUE(question.DefaultButton == u"Non");
  if (!screenshot.empty()) ExpectBoxLooksRight(box, screenshot);
  return AnswerBox(setup.Id(), u"Avertissement", answer);
}

void SetTicks(HWND page, std::initializer_list<std::pair<int, bool>> ticks) {
  for (const auto& [id, ticked] : ticks) {
    HWND box = Control(page, id);
    if (IsChecked(box) != ticked) Click(box);
    EXPECT_EQ(IsChecked(box), ticked) << "box " << id;
  }
}

bool IsFinished(HWND install) {
  HWND quit = Control(install, btnAnnul);
  return HeldTextOf(Control(install, lbInst)) == u"Installation terminée." &&
         HeldTextOf(quit) == u"Quitter" && IsEnabled(quit);
}

bool InstallToTheEnd(HWND install) {
  return Click(Control(install, btnInstall)) &&
         WaitUntil([&] { return IsFinished(install); }, kRunLimit);
}

void InstallWithDefaults() {
  SetupProcess setup;
  HWND install = OpenInstallPage(setup);
  ASSERT_TRUE(install);
  ASSERT_TRUE(InstallToTheEnd(install));
  ASSERT_TRUE(Click(Control(install, btnAnnul)));
  ASSERT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}

namespace {
// A machine-wide value of the program, read in the 32-bit view of the registry. The
// 32-bit program lands there by the system's own redirection; a 64-bit tool sees the
// same value below WOW6432Node, and nothing in its own view.
std::optional<RawValue> MachineValue(const char16_t* name) {
  const auto value = ReadRaw(kLocalMachine, kKey, name, View32);
  const auto seenBy64BitTools = ReadRaw(kLocalMachine, u"Software\\WOW6432Node\\Brasmoor", name, View64);
  EXPECT_TRUE(value && seenBy64BitTools && value->Data == seenBy64BitTools->Data) << Narrow(name);
  return value;
}
}  // namespace

void ExpectProgramInstalled(const std::u16string& installDir) {
  ExpectPayloadFiles(u"Resource_1", installDir);
  const auto name = MachineValue(u"DisplayName");
  const auto uninstall = MachineValue(u"UninstallString");
  ASSERT_TRUE(name && uninstall);
  EXPECT_EQ(name->Type, static_cast<DWORD>(REG_SZ));
  EXPECT_TRUE(Text(*name) == u"Orvelin");
  EXPECT_EQ(uninstall->Type, static_cast<DWORD>(REG_SZ));
  EXPECT_TRUE(Text(*uninstall) == u"Uninstall");
  for (const char16_t* flag : {u"NoModify", u"NoRepair"}) {
    const auto value = MachineValue(flag);
    ASSERT_TRUE(value) << Narrow(flag);
    EXPECT_EQ(value->Type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value->Data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  }
  EXPECT_FALSE(KeyPresent(kLocalMachine, kKey, View64)) << "only in the 32-bit view";
  ExpectLink(kMenuDir + u"\\Orvelin.lnk", installDir, installDir + u"\\Orvelin.exe");
  ExpectLink(kMenuDir + u"\\Uninstall.lnk", installDir, installDir + u"\\Uninstall.exe");
}

void ExpectProjectsInstalled(const std::u16string& projDir) {
  ExpectPayloadFiles(u"Resource_2", projDir);
}

void ExpectLink(const std::u16string& link, const std::u16string& installDir,
                const std::u16string& target) {
  SCOPED_TRACE(Narrow(link));
  ASSERT_TRUE(Exists(link));
  const LinkSettings settings = LoadLink(link);
  EXPECT_TRUE(SamePath(settings.Target, target)) << Narrow(settings.Target);
  EXPECT_TRUE(Exists(settings.Target));
  EXPECT_TRUE(SamePath(settings.WorkingDir, installDir)) << Narrow(settings.WorkingDir);
  EXPECT_TRUE(settings.Arguments.empty());
  EXPECT_TRUE(settings.Description.empty());
}

namespace {
// At its place of the design, or widened as the pages widen a control whose text needs
// more room (Wine draws Segoe UI with the wider Tahoma): a push button to its right, a
// centred label evenly on both sides.
bool AtItsPlace(HWND control, const RECT& actual, const RECT& design) {
  if (actual == design) return true;
  if (actual.top != design.top || actual.bottom != design.bottom) return false;
  const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
  const std::u16string kind = ClassOf(control);
  if (lstrcmpiW(W(kind), L"Button") == 0 &&
      ((style & BS_TYPEMASK) == BS_PUSHBUTTON || (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON))
    return actual.left == design.left && actual.right > design.right;
  if (lstrcmpiW(W(kind), L"Static") == 0 && (style & SS_TYPEMASK) == SS_CENTER)
    return actual.left < design.left &&
           std::abs((actual.left + actual.right) - (design.left + design.right)) <= 2;
  return false;
}
}  // namespace

void ExpectControls(HWND page, const std::vector<ExpectedControl>& table) {
  const Snapshot shot(page);
  const int underline = MulDiv(40, static_cast<int>(DpiOf(page)), 96);  // wider than any letter
  for (const ExpectedControl& e : table) {
    SCOPED_TRACE(testing::Message() << "control " << e.Id);
    HWND control = Control(page, e.Id);
    ASSERT_TRUE(control);
    EXPECT_TRUE(TextOf(control) == e.Text) << Narrow(TextOf(control));
    EXPECT_TRUE(AtItsPlace(control, RectAt96(control), e.At96))
        << RectAt96(control) << " for " << e.At96;
    EXPECT_TRUE(IsShown(control));
    EXPECT_TRUE(IsEnabled(control));
    EXPECT_EQ(IsChecked(control), e.Checked);
    const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    switch (e.Style) {
      case Look::Any: break;
      case Look::Centred:
      case Look::Underlined:
        EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER)) << "centred";
        EXPECT_EQ(shot.LongestInkRow(control) >= underline, e.Style == Look::Underlined)
            << "underlined: ink in a row of " << shot.LongestInkRow(control) << " pixels";
        break;
      case Look::LeftAligned:
        EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT)) << "left-aligned";
        EXPECT_LT(shot.LongestInkRow(control), underline) << "not underlined";
        break;
      case Look::ReadOnly: EXPECT_TRUE(style & ES_READONLY) << "read-only"; break;
    }
  }
}

void ExpectPageLooksRight(HWND page, const std::u16string& name) {
  SCOPED_TRACE(Narrow(u"page " + name));
  const int dpi = static_cast<int>(DpiOf(page));
  RECT client;
  GetClientRect(page, &client);
  EXPECT_EQ(client.right, MulDiv(576, dpi, 96));
  EXPECT_EQ(client.bottom, MulDiv(380, dpi, 96));
  ExpectControlsInside(page);
  const Snapshot shot(page);
  for (HWND child : Children(page))
    if (IsShown(child)) ExpectTextInside(shot, child);
  EXPECT_TRUE(shot.Save(name));
}

// A box takes the keyboard, on its default button, and sizes itself to its message: its
// controls lie inside it, clear of each other.
void ExpectBoxLooksRight(HWND box, const std::u16string& name) {
  SCOPED_TRACE(Narrow(u"box " + name));
  EXPECT_TRUE(WaitUntil([&] { return InputStateOf(box).Active == box; }));
  EXPECT_TRUE(TextOf(InputStateOf(box).Focus) == ReadBox(box).DefaultButton);
  ExpectControlsInside(box);
  EXPECT_TRUE(Snapshot(box).Save(name));
}
