// The message box against Wine's window system: while MsgDlg waits on this thread, a
// second thread plays the user. It finds the box by its title, looks at it, then presses
// a button, Enter, Escape or the close box, and MsgDlg must answer the pressed button's
// letter. Dragged onto a monitor of another DPI, it follows the drag.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "tests/win/importHook.h"
#include "util/dpi_win.h"
#include "util/textCodec.h"
#include "util/utlDialogs.h"
#include "util/wideText_win.h"

namespace {
constexpr int kIconId = 20;
constexpr int kTextId = 0xFFFF;

enum class Press {
  Click,     // a click on Target
  Enter,     // the Enter key on the focused button
  Escape,    // the Escape key, then a click on Target (that answers if Escape did not)
  CloseBox,  // the close box, then a click on Target (likewise)
};

struct Shown {
  int Id;
  std::u16string Caption;
};

struct BoxCase {
  const char16_t* Buttons;
  const char16_t* Default;
  const char16_t* Kind;
  const char16_t* Title;
  LPCWSTR Icon;
  std::vector<Shown> Expected;  // left to right
  int DefaultId;
  bool Closable;                // close box enabled
  Press Action;
  int Target;
  const char16_t* Answer;
};

const char16_t kText[] = u"Première ligne du message.\r\nSeconde ligne.";

// What the user's thread saw of the box.
struct Seen {
  bool Found = false;
  std::u16string Text;
  std::vector<Shown> Buttons;  // left to right
  int Focused = 0;
  std::vector<int> DefaultStyled;
  bool IconMatches = false;
  bool Closable = false;
  bool Topmost = false;
  POINT Offset{};  // of the box's centre from the work area's
};

// The system's description of an error, as the box's failure gives it.
std::u16string SystemText(DWORD error) {
  wchar_t text[512] = {};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, text, 512, nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' ||
                        text[length - 1] == L' '))
    --length;
  return FromW(text, length);
}

std::u16string TextOf(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return FromW(buffer);
}

// The icon drawn on white, as pixels.
std::vector<std::uint32_t> Pixels(HICON icon, int size) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, size, size, WHITENESS);
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> pixels(first, first + size * size);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

bool SameIcon(HWND iconControl, LPCWSTR expected) {
  auto shown = reinterpret_cast<HICON>(SendMessageW(iconControl, STM_GETICON, 0, 0));
  RECT rect;
  GetClientRect(iconControl, &rect);
  const int size = rect.right;
  HICON reference = size > 0 ? LoadSystemIcon(expected, size) : nullptr;
  if (!shown || !reference) return false;
  const bool same = Pixels(shown, size) == Pixels(reference, size);
  DestroyIcon(reference);
  return same;
}

HWND WaitForBox(const std::u16string& title, DWORD thread) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    HWND box = FindWindowW(L"#32770", W(title));
    if (box && GetWindowThreadProcessId(box, nullptr) == thread && IsWindowVisible(box))
      return box;
    Sleep(50);
  }
  return nullptr;
}

Seen Look(HWND box, DWORD thread, LPCWSTR icon) {
  Seen seen;
  seen.Found = true;
  seen.Text = TextOf(GetDlgItem(box, kTextId));
  std::vector<std::pair<LONG, Shown>> buttons;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (lstrcmpiW(className, L"Button") != 0) continue;
    RECT rect;
    GetWindowRect(child, &rect);
    const int id = GetDlgCtrlID(child);
    buttons.push_back({rect.left, {id, TextOf(child)}});
    if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      seen.DefaultStyled.push_back(id);
  }
  std::sort(buttons.begin(), buttons.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& b : buttons) seen.Buttons.push_back(b.second);

  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  if (GetGUIThreadInfo(thread, &gui) && gui.hwndFocus) seen.Focused = GetDlgCtrlID(gui.hwndFocus);
  seen.IconMatches = SameIcon(GetDlgItem(box, kIconId), icon);
  const UINT close = GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
  seen.Closable = close != static_cast<UINT>(-1) && !(close & (MF_GRAYED | MF_DISABLED));
  seen.Topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;

  RECT rect, area;
  GetWindowRect(box, &rect);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  seen.Offset = {(rect.left + rect.right) / 2 - (area.left + area.right) / 2,
                 (rect.top + rect.bottom) / 2 - (area.top + area.bottom) / 2};
  return seen;
}

void Act(HWND box, DWORD thread, Press action, int target) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(thread, &gui);
  HWND focused = gui.hwndFocus ? gui.hwndFocus : box;
  switch (action) {
    case Press::Click: break;
    case Press::Enter: PostMessageW(focused, WM_KEYDOWN, VK_RETURN, 0); return;
    case Press::Escape: PostMessageW(focused, WM_KEYDOWN, VK_ESCAPE, 0); break;
    case Press::CloseBox: PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); break;
  }
  // Posted after the key or the close: it reaches the box only if that left it open.
  PostMessageW(GetDlgItem(box, target), BM_CLICK, 0, 0);
}

const std::vector<BoxCase> kCases = {
    {u"YN", u"N", u"W", u"Avertissement", IDI_WARNING, {{IDYES, u"Oui"}, {IDNO, u"Non"}}, IDNO,
     false, Press::Enter, 0, u"N"},
    {u"O", u"O", u"I", u"Informations", IDI_INFORMATION, {{IDOK, u"OK"}}, IDOK, true,
     Press::Click, IDOK, u"O"},
    {u"YN", u"Y", u"E", u"Erreur", IDI_ERROR, {{IDYES, u"Oui"}, {IDNO, u"Non"}}, IDYES, false,
     Press::Enter, 0, u"Y"},
    {u"IRA", u"R", u"C", u"Confirmer", IDI_QUESTION,
     {{IDABORT, u"Abandonner"}, {IDRETRY, u"Réessayer"}, {IDIGNORE, u"Ignorer"}}, IDRETRY, false,
     Press::Click, IDIGNORE, u"I"},
    {u"CNYN", u"C", u"X", u"Avertissement", IDI_WARNING,
     {{IDYES, u"Oui"}, {IDNO, u"Non"}, {IDCANCEL, u"Annuler"}}, IDCANCEL, true, Press::Escape,
     IDYES, u"C"},
    // Without Cancel, Escape and the close box do nothing: the later click answers.
    {u"YN", u"N", u"W", u"Avertissement", IDI_WARNING, {{IDYES, u"Oui"}, {IDNO, u"Non"}}, IDNO,
     false, Press::Escape, IDYES, u"Y"},
    {u"YNA", u"Y", u"I", u"Informations", IDI_INFORMATION,
     {{IDYES, u"Oui"}, {IDNO, u"Non"}, {IDABORT, u"Abandonner"}}, IDYES, false, Press::CloseBox,
     IDABORT, u"A"},
    // A box whose only button is OK answers OK to the close box.
    {u"O", u"Y", u"", u"Avertissement", IDI_WARNING, {{IDOK, u"OK"}}, IDOK, true,
     Press::CloseBox, IDOK, u"O"},
};

TEST(MessageBox, ShowsTheRequestedBoxAndAnswersThePressedButton) {
  const DWORD self = GetCurrentThreadId();
  for (const BoxCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases.data()));
    Seen seen;
    std::thread user([&] {
      HWND box = WaitForBox(c.Title, self);
      if (!box) return;
      seen = Look(box, self, c.Icon);
      Act(box, self, c.Action, c.Action == Press::Enter ? 0 : c.Target);
    });
    const std::u16string answer = MsgDlg(kText, c.Buttons, c.Default, c.Kind);
    user.join();

    ASSERT_TRUE(seen.Found) << "no box with the kind's title";
    EXPECT_EQ(seen.Text, kText);
    ASSERT_EQ(seen.Buttons.size(), c.Expected.size());
    for (std::size_t i = 0; i < c.Expected.size(); ++i) {
      EXPECT_EQ(seen.Buttons[i].Id, c.Expected[i].Id) << "button " << i;
      EXPECT_TRUE(seen.Buttons[i].Caption == c.Expected[i].Caption) << "button " << i;
    }
    EXPECT_EQ(seen.Focused, c.DefaultId);
    EXPECT_EQ(seen.DefaultStyled, std::vector<int>{c.DefaultId});
    EXPECT_TRUE(seen.IconMatches);
    EXPECT_EQ(seen.Closable, c.Closable);
    EXPECT_TRUE(seen.Topmost) << "a box of no window stays in front";
    EXPECT_LE(std::abs(seen.Offset.x), 1);
    EXPECT_LE(std::abs(seen.Offset.y), 1);
    EXPECT_TRUE(answer == c.Answer);
  }
}

// With an active window of the thread, the box belongs to it and stands over its middle.
TEST(MessageBox, BelongsToTheActiveWindowAndStandsOverIt) {
  HWND window = CreateWindowExW(0, L"STATIC", L"Fenêtre", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                150, 600, 400, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  SetActiveWindow(window);
  const DWORD self = GetCurrentThreadId();
  HWND owner = nullptr;
  RECT box{};
  bool ownerDisabled = false;
  std::thread user([&] {
    HWND found = WaitForBox(u"Confirmer", self);
    if (!found) return;
    owner = GetWindow(found, GW_OWNER);
    GetWindowRect(found, &box);
    ownerDisabled = !IsWindowEnabled(window);
    PostMessageW(GetDlgItem(found, IDOK), BM_CLICK, 0, 0);
  });
  EXPECT_TRUE(MsgDlg(u"Question", u"O", u"O", u"C") == u"O");
  user.join();
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_EQ(owner, window);
  EXPECT_TRUE(ownerDisabled) << "the box is modal to its owner";
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_LE(std::abs((box.left + box.right) / 2 - (frame.left + frame.right) / 2), 1);
  EXPECT_LE(std::abs((box.top + box.bottom) / 2 - (frame.top + frame.bottom) / 2), 1);
  DestroyWindow(window);
}

// When the system cannot make the box (here it is made to refuse, as it does when out of
// window resources), nobody sees it: it answers as if closed, and the journal hears why.
std::vector<std::u16string> unshown;
INT_PTR WINAPI RefusedDialog(HINSTANCE, LPCDLGTEMPLATEW, HWND, DLGPROC, LPARAM) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return -1;
}

TEST(MessageBox, ABoxTheSystemCannotMakeAnswersAsIfClosed) {
  const ImportHook refuse("USER32.dll", "DialogBoxIndirectParamW",
                          reinterpret_cast<void*>(&RefusedDialog));
  ASSERT_TRUE(refuse.Installed());
  unshown.clear();
  const MessageFailureJournal previous =
      SetMessageFailureJournal([](std::u16string_view line) { unshown.emplace_back(line); });
  const std::u16string yesNo = MsgDlg(u"Réessayer ?", u"YN", u"Y", u"E");
  const std::u16string withCancel = MsgDlg(u"?", u"YNC", u"Y", u"W");
  const std::u16string onlyOK = MsgDlg(u"Désinstallation terminée.", u"O", u"O", u"O");
  SetMessageFailureJournal(previous);

  EXPECT_TRUE(yesNo == u"N");
  EXPECT_TRUE(withCancel == u"C");
  EXPECT_TRUE(onlyOK == u"O");
  ASSERT_EQ(unshown.size(), 3u);
  const std::u16string expected = u"Boîte de message non affichée. " +
                                  SystemText(ERROR_NOT_ENOUGH_MEMORY) +
                                  u" Message : « Réessayer ? », réponse « N ».";
  EXPECT_TRUE(unshown[0] == expected) << Utf16ToUtf8(unshown[0]);
}

// Dragged onto a monitor of twice the DPI, the box goes where the system suggests and is
// laid out anew: the suggested rectangle is its old one scaled, and so is its new size.
TEST(MessageBox, TakesThePlaceSuggestedForANewDpi) {
  const DWORD self = GetCurrentThreadId();
  RECT before{}, suggested{}, after{};
  RECT button{};
  std::thread user([&] {
    HWND box = WaitForBox(u"Informations", self);
    if (!box) return;
    GetWindowRect(box, &before);
    suggested = {40, 30, 40 + 2 * (before.right - before.left),
                 30 + 2 * (before.bottom - before.top)};
    SendMessageW(box, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(box, &after);
    GetClientRect(GetDlgItem(box, IDOK), &button);
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  });
  EXPECT_TRUE(MsgDlg(kText, u"O", u"O", u"I") == u"O");
  user.join();

  EXPECT_EQ(after.left, suggested.left);
  EXPECT_EQ(after.top, suggested.top);
  // Sized to its text in the font of the new DPI, whose widths do not scale exactly: close
  // to the suggested size.
  const int width = suggested.right - suggested.left, height = suggested.bottom - suggested.top;
  EXPECT_NEAR(after.right - after.left, width, width / 20);
  EXPECT_NEAR(after.bottom - after.top, height, height / 20);
  EXPECT_EQ(button.bottom, MulDiv(24, 192, 96));
}
}  // namespace
