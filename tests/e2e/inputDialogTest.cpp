// The input dialog, seen from outside: a host program asks one question through InputDlg
// and reports the answer; the tests act on the dialog as a user does (typing, Enter,
// Escape, clicks on buttons, the check box and the calendar).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
constexpr char16_t kFormClass[] = u"OrvelinSetupPage";

struct Prompt {
  std::u16string Lib;
  std::u16string Input;
  char16_t DType;
  std::u16string Check = u"";
  bool Checked = false;
  std::u16string DefStr = u"";
  bool Annul = true;
};

struct Outcome {
  std::u16string Answer, Input;
  bool Checked = false;
};

// Where the host reports, emptied of an earlier report.
std::u16string FreshResultFile() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::u16string path = FromW(temp) + u"orvelin-input-result.txt";
  DeleteFileW(W(path));
  return path;
}

std::u16string Arguments(const Prompt& p, const std::u16string& resultFile) {
  std::u16string line;
  for (const std::u16string& argument :
       {resultFile, p.Lib, p.Input, std::u16string(1, p.DType), p.Check,
        std::u16string(p.Checked ? u"1" : u"0"), p.DefStr, std::u16string(p.Annul ? u"1" : u"0")})
    line += u"\"" + argument + u"\" ";
  return line;
}

// The file's lines, read as UTF-8.
std::vector<std::u16string> ReadLines(const std::u16string& path) {
  std::string bytes;
  HANDLE file = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  std::u16string text(bytes.size(), u'\0');
  text.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                          reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
  std::vector<std::u16string> lines;
  for (std::size_t start = 0, end; (end = text.find(u'\n', start)) != std::u16string::npos;
       start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// One question asked by the host program, its dialog on the screen.
class InputHost {
public:
  explicit InputHost(const Prompt& prompt)
      : result_(FreshResultFile()), process_(Arguments(prompt, result_)) {
    window_ = WaitForWindowOfClass(process_.Id(), kFormClass);
  }

  HWND Window() const { return window_; }
  HWND Item(int id) const { return Control(window_, id); }
  std::u16string Field() const { return TextOf(Item(edInput)); }
  bool Open() const { return IsWindow(window_) && IsShown(window_); }

  // Replaces the field's text by typing (the field has the keyboard focus and its text is
  // selected); true once the field shows it.
  bool Type(const std::u16string& text) {
    TypeText(window_, text.empty() ? u"\b" : text);
    return WaitUntil([&] { return Field() == text; });
  }
  // Types a text and presses Enter; true when the dialog refuses it: the field shows
  // resetTo and the dialog stays open.
  bool Refuses(const std::u16string& text, const std::u16string& resetTo) {
    if (!Type(text)) return false;
    PressKey(window_, VK_RETURN);
    return WaitUntil([&] { return Field() == resetTo; }) && Open();
  }

  // What InputDlg answered, once the host has ended.
  std::optional<Outcome> Result() {
    if (process_.WaitExit() != std::optional<DWORD>(0)) return std::nullopt;
    const std::vector<std::u16string> lines = ReadLines(result_);
    if (lines.size() != 3) return std::nullopt;
    return Outcome{lines[0], lines[1], lines[2] == u"1"};
  }

private:
  std::u16string result_;
  SetupProcess process_;
  HWND window_ = nullptr;
};

void ExpectOutcome(InputHost& host, const Outcome& expected) {
  const std::optional<Outcome> outcome = host.Result();
  ASSERT_TRUE(outcome) << "the host did not report";
  EXPECT_TRUE(outcome->Answer == expected.Answer) << testing::PrintToString(outcome->Answer);
  EXPECT_TRUE(outcome->Input == expected.Input) << testing::PrintToString(outcome->Input);
  EXPECT_EQ(outcome->Checked, expected.Checked);
}

struct Placed {
  int Id;
  RECT At96;
};

void ExpectLayout(const InputHost& host, int clientWidth, const std::vector<Placed>& shown,
                  const std::vector<int>& hidden) {
  const SIZE client = ClientSizeAt96(host.Window());
  EXPECT_EQ(client.cx, clientWidth);
  EXPECT_EQ(client.cy, 162);
  for (const Placed& p : shown) {
    SCOPED_TRACE(testing::Message() << "control " << p.Id);
    EXPECT_TRUE(IsShown(host.Item(p.Id)));
    EXPECT_EQ(RectAt96(host.Item(p.Id)), p.At96);
  }
  for (int id : hidden) EXPECT_FALSE(IsShown(host.Item(id))) << "control " << id;
}

// A date as the dialog writes it: "DD/MM/YYYY" with the regional date separator.
std::u16string DateText(int day, int month, int year) {
  wchar_t separator[8] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, separator, 8);
  wchar_t text[32];
  std::swprintf(text, 32, L"%02d%ls%02d%ls%04d", day, separator, month, separator, year);
  return FromW(text);
}

std::u16string Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return DateText(now.wDay, now.wMonth, now.wYear);
}

SYSTEMTIME CalendarSelection(HWND calendar) {
  SYSTEMTIME selected{};
  SendWithData(calendar, MCM_GETCURSEL, 0, &selected, sizeof selected);
  return selected;
}

bool SameDay(const SYSTEMTIME& date, int day, int month, int year) {
  return date.wDay == day && date.wMonth == month && date.wYear == year;
}

// A point of the calendar that shows this day of the displayed month.
std::optional<POINT> DayPoint(HWND calendar, int day, int month, int year) {
  RECT client;
  GetClientRect(calendar, &client);
  for (LONG y = 0; y < client.bottom; y += 6)
    for (LONG x = 0; x < client.right; x += 6) {
      MCHITTESTINFO hit{};
      hit.cbSize = sizeof hit;
      hit.pt = {x, y};
      SendWithData(calendar, MCM_HITTEST, 0, &hit, sizeof hit);
      if (hit.uHit == MCHT_CALENDARDATE && SameDay(hit.st, day, month, year)) return hit.pt;
    }
  return std::nullopt;
}

// The journal's level prompt: the narrow window without a calendar.
TEST(InputDialog, TheLevelPromptIsNarrowAndTakesADecimalNumber) {
  InputHost host({u"Niveau de débogage :", u"3", u'N'});
  HWND window = host.Window();
  ASSERT_TRUE(window) << "no dialog";

  ExpectLayout(host, 567 - 204,
               {{lbInput, {20, 28, 345, 45}},
                {edInput, {20, 52, 341, 74}},
                {btnAnnul, {64, 104, 139, 127}},
                {btnOK, {216, 104, 291, 127}}},
               {cbInput, btnRAZ, Calendar1});
  EXPECT_TRUE(TextOf(host.Item(lbInput)) == u"Niveau de débogage :");
  EXPECT_TRUE(TextOf(host.Item(btnOK)) == u"OK");
  EXPECT_TRUE(TextOf(host.Item(btnAnnul)) == u"Annuler");
  EXPECT_TRUE(host.Field() == u"3");
  EXPECT_EQ(GetWindowLongW(host.Item(btnOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(window) == host.Item(edInput); }))
      << "the keyboard focus is in the field";

  // No title bar, no title, above the other windows, in the middle of the work area.
  const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_DLGFRAME)) << "a frame without a title bar";
  EXPECT_FALSE(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(TextOf(window).empty());
  RECT frame, client;
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  EXPECT_LT(frame.bottom - frame.top - client.bottom, GetSystemMetrics(SM_CYCAPTION))
      << "no room for a caption";
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_NEAR(frame.left + frame.right, area.left + area.right, 1);
  EXPECT_NEAR(frame.top + frame.bottom, area.top + area.bottom, 1);

  EXPECT_TRUE(SaveScreenshot(window, u"input-number"));

  EXPECT_TRUE(host.Refuses(u"abc", u"3")) << "the initial value comes back";
  ASSERT_TRUE(host.Type(u"2,5"));
  PressKey(window, VK_RETURN);
  ExpectOutcome(host, {u"O", u"2,5", false});
}

// Per type letter: the texts refused one after the other (each giving way to the reset
// text), then the one accepted and what InputDlg returns for it.
struct TypeCase {
  Prompt Asked;
  std::vector<std::u16string> Refused;
  std::u16string ResetTo;
  std::u16string Accepted;
  std::u16string Returned;
};

TEST(InputDialog, EachTypeLetterAcceptsAndRefusesItsTexts) {
  const std::u16string today = Today();
  const TypeCase cases[] = {
      {{u"Entier :", u"0", u'I'}, {u"1.5", u""}, u"0", u"-12", u"-12"},
      {{u"Entier positif :", u"0", u'i'}, {u"-12", u"1,5"}, u"0", u"+12", u"+12"},
      {{u"Nombre :", u"1", u'N'}, {u"5,", u""}, u"1", u",5", u",5"},
      {{u"Nombre positif :", u"1", u'n'}, {u"-1,5"}, u"1", u"1.5", u"1.5"},
      {{u"Date :", u"", u'D'}, {u"31/02/2023", u""}, today, u"05/03/2023", u"05/03/23"},
      {{u"Date :", u"", u'D', u"", false, u"14/07/2023"}, {u"31/02/2023"}, u"14/07/2023",
       u"14/07/2023", u"14/07/23"},
      {{u"Date facultative :", u"01/01/2024", u'd'}, {u"1/1/2024"}, today, u"", u""},
      {{u"Texte :", u"x", u'T'}, {}, u"", u"", u""},
  };
  for (const TypeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << static_cast<char>(c.Asked.DType) << ", default "
                                    << testing::PrintToString(c.Asked.DefStr));
    InputHost host(c.Asked);
    ASSERT_TRUE(host.Window()) << "no dialog";
    for (const std::u16string& refused : c.Refused)
      EXPECT_TRUE(host.Refuses(refused, c.ResetTo))
          << testing::PrintToString(refused) << " gave " << testing::PrintToString(host.Field());
    ASSERT_TRUE(host.Type(c.Accepted));
    PressKey(host.Window(), VK_RETURN);
    ExpectOutcome(host, {u"O", c.Returned, false});
  }
}

// The optional date: the calendar beside the field, "Effacer", a picked day.
TEST(InputDialog, TheOptionalDateOffersTheCalendarAndEffacer) {
  InputHost host({u"Date de début :", u"15/06/2023", u'd'});
  HWND window = host.Window();
  ASSERT_TRUE(window) << "no dialog";
  ExpectLayout(host, 567,
               {{lbInput, {20, 28, 345, 45}},
                {edInput, {20, 52, 265, 74}},
                {btnRAZ, {288, 52, 345, 74}},
                {btnAnnul, {64, 104, 139, 127}},
                {btnOK, {216, 104, 291, 127}},
                {Calendar1, {368, 8, 548, 153}}},
               {cbInput});
  EXPECT_TRUE(TextOf(host.Item(btnRAZ)) == u"Effacer");
  HWND calendar = host.Item(Calendar1);
  EXPECT_TRUE(SameDay(CalendarSelection(calendar), 15, 6, 2023)) << "the calendar shows Input";
  EXPECT_TRUE(SaveScreenshot(window, u"input-date"));

  // A day picked in the calendar is written in full; the dialog stays open.
  const std::optional<POINT> day = DayPoint(calendar, 20, 6, 2023);
  ASSERT_TRUE(day) << "no 20 June in the calendar";
  ClickAt(calendar, *day);
  EXPECT_TRUE(WaitUntil([&] { return host.Field() == DateText(20, 6, 2023); }))
      << testing::PrintToString(host.Field());
  EXPECT_TRUE(host.Open());

  ASSERT_TRUE(Click(host.Item(btnRAZ)));
  EXPECT_TRUE(host.Field().empty());
  ASSERT_TRUE(Click(host.Item(btnOK)));
  ExpectOutcome(host, {u"O", u"", false});
}

// The required date: no "Effacer", the wider field, the calendar on the default date.
TEST(InputDialog, TheDateShowsTheDefaultInTheCalendar) {
  InputHost host({u"Date :", u"", u'D', u"", false, u"14/07/2023"});
  ASSERT_TRUE(host.Window()) << "no dialog";
  ExpectLayout(host, 567,
               {{edInput, {20, 52, 341, 74}}, {Calendar1, {368, 8, 548, 153}}}, {btnRAZ});
  EXPECT_TRUE(SameDay(CalendarSelection(host.Item(Calendar1)), 14, 7, 2023));
  ASSERT_TRUE(host.Type(u"29/02/2024"));
  ASSERT_TRUE(Click(host.Item(btnOK)));
  ExpectOutcome(host, {u"O", u"29/02/24", false});
}

// The check box: shown with its caption, its final state returned with "OK".
TEST(InputDialog, TheCheckBoxComesBackInChecked) {
  for (const bool initially : {true, false}) {
    SCOPED_TRACE(initially ? "ticked" : "unticked");
    InputHost host({u"Nom :", u"Orvelin", u'T', u"Retenir ce nom", initially});
    ASSERT_TRUE(host.Window()) << "no dialog";
    ExpectLayout(host, 567 - 204,
                 {{lbInput, {20, 16, 345, 33}},
                  {edInput, {20, 40, 341, 62}},
                  {cbInput, {20, 80, 341, 99}},
                  {btnAnnul, {64, 120, 139, 143}},
                  {btnOK, {216, 120, 291, 143}}},
                 {btnRAZ, Calendar1});
    EXPECT_TRUE(TextOf(host.Item(cbInput)) == u"Retenir ce nom");
    EXPECT_EQ(IsChecked(host.Item(cbInput)), initially);
    ASSERT_TRUE(Click(host.Item(cbInput)));
    EXPECT_EQ(IsChecked(host.Item(cbInput)), !initially);
    ASSERT_TRUE(Click(host.Item(btnOK)));
    ExpectOutcome(host, {u"O", u"Orvelin", !initially});
  }
}

// Escape does nothing; "Annuler" leaves Input and Checked as they were passed in.
TEST(InputDialog, AnnulerCancelsAndEscapeDoesNothing) {
  InputHost host({u"Nom :", u"départ", u'T', u"Retenir", true});
  HWND window = host.Window();
  ASSERT_TRUE(window) << "no dialog";
  ASSERT_TRUE(host.Type(u"autre"));
  PressKey(window, VK_ESCAPE);
  // Keys arrive in order: once the next one shows, Escape has been handled.
  TypeText(window, u"!");
  EXPECT_TRUE(WaitUntil([&] { return host.Field() == u"autre!"; }));
  EXPECT_TRUE(host.Open()) << "Escape closed the dialog";
  ASSERT_TRUE(Click(host.Item(cbInput)));
  EXPECT_FALSE(IsChecked(host.Item(cbInput)));
  ASSERT_TRUE(Click(host.Item(btnAnnul)));
  ExpectOutcome(host, {u"C", u"départ", true});
}

// Without "Annuler", "OK" stands in the middle; a close forced through the system cancels.
TEST(InputDialog, WithoutAnnulerOKIsCentredAndAForcedCloseCancels) {
  InputHost host({u"Commentaire :", u"texte", u'T', u"", false, u"", false});
  ASSERT_TRUE(host.Window()) << "no dialog";
  ExpectLayout(host, 567 - 204, {{btnOK, {140, 104, 215, 127}}}, {btnAnnul, cbInput});
  ASSERT_TRUE(host.Type(u"modifié"));
  PostMessageW(host.Window(), WM_CLOSE, 0, 0);
  ExpectOutcome(host, {u"C", u"texte", false});
}
}  // namespace
