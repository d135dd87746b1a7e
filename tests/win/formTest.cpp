// The window layer's rules that the pages rely on: the order of events when a page
// closes its hidden opener, a modal showing, the default error handler, the repaint after
// a DPI change, and the fonts of the texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/scriptedDialogs.h"
#include "tests/win/testFont.h"
#include "ui/form_win.h"
#include "util/appError.h"

namespace {
constexpr int kButton = 101;
constexpr int kLabel = 102;
constexpr int kTitle = 103;

const ControlSpec kControls[] = {
    {kButton, ControlKind::Button, 10, 10, 80, 22, u"Bouton"},
    {kLabel, ControlKind::Label, 10, 50, 150, 17, u"Étiquette"},
    {kTitle, ControlKind::Label, 10, 70, 150, 17, u"Titre", kSemiBold13},
};
const PageLayout kLayout{u"Fenêtre d'essai", 200, 100, {}, kControls};

// A form that writes its events to a log and runs a given action on each click.
class LoggedForm final : public Form {
public:
  LoggedForm(std::string name, std::vector<std::string>& log)
      : Form(kLayout), name_(std::move(name)), log_(log) {}

  std::function<void()> OnClick;
  std::function<void()> OnFirstShow;

  void PressLater() { PostMessageW(GetDlgItem(Handle(), kButton), BM_CLICK, 0, 0); }
  using Form::OpenPage;

protected:
  void FormCreate() override { log_.push_back(name_ + " create"); }
  void FormShow() override {
    log_.push_back(name_ + " show");
    if (OnFirstShow) std::exchange(OnFirstShow, nullptr)();
  }
  void FormClose() override { log_.push_back(name_ + " close"); }
  void FormDestroy() override { log_.push_back(name_ + " destroy"); }
  void Click(int id) override {
    log_.push_back(name_ + " click " + std::to_string(id));
    if (OnClick) OnClick();
  }

private:
  std::string name_;
  std::vector<std::string>& log_;
};

// A page that closes itself, then its opener: the opener shows again once the page has
// returned, and its own showing ends only then.
TEST(Form, APageClosingItsOpenerClosesFirstThenTheOpenerEnds) {
  std::vector<std::string> log;
  FormPtr<LoggedForm> opener(new LoggedForm("opener", log));
  opener->Create();
  opener->OnFirstShow = [&] { opener->PressLater(); };
  opener->OnClick = [&] {
    {
      FormPtr<LoggedForm> page(new LoggedForm("page", log));
      page->Create();
      page->OnFirstShow = [&] { page->PressLater(); };
      page->OnClick = [&] {
        page->Close();
        opener->Close();
        log.push_back("page handler done");
      };
      opener->OpenPage(*page);
    }
    log.push_back("page gone");
  };
  opener->ShowModal();
  log.push_back("opener returned");

  const std::vector<std::string> expected = {
      "opener create", "opener show", "opener click 101", "page create", "page show",
      "page click 101", "page handler done", "page close", "opener show", "page destroy",
      "page gone", "opener close", "opener returned"};
  EXPECT_EQ(log, expected);
  EXPECT_FALSE(opener->Visible());
}

// While a form shows modally, the thread's other visible windows take no input; they
// get it back when the showing ends.
TEST(Form, AModalShowingDisablesTheOtherVisibleWindowsUntilItEnds) {
  std::vector<std::string> log;
  FormPtr<LoggedForm> visible(new LoggedForm("visible", log));
  visible->Create();
  visible->Show();
  FormPtr<LoggedForm> hidden(new LoggedForm("hidden", log));
  hidden->Create();
  FormPtr<LoggedForm> modal(new LoggedForm("modal", log));
  modal->Create();
  bool visibleEnabled = true, hiddenEnabled = false;
  modal->OnFirstShow = [&] { modal->PressLater(); };
  modal->OnClick = [&] {
    visibleEnabled = IsWindowEnabled(visible->Handle());
    hiddenEnabled = IsWindowEnabled(hidden->Handle());
    modal->Close();
  };
  modal->ShowModal();

  EXPECT_FALSE(visibleEnabled);
  EXPECT_TRUE(hiddenEnabled) << "a hidden window is left alone";
  EXPECT_TRUE(IsWindowEnabled(visible->Handle()));
}

// An exception that escapes a handler is shown in an error box; the form goes on.
TEST(Form, AnErrorInAHandlerIsShownAndTheFormGoesOn) {
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::OK);
  std::vector<std::string> log;
  FormPtr<LoggedForm> form(new LoggedForm("form", log));
  form->Create();
  int clicks = 0;
  form->OnFirstShow = [&] { form->PressLater(); };
  form->OnClick = [&] {
    if (++clicks == 1) {
      form->PressLater();
      throw AppError(u"Echec à la définition des données pour 'DisplayName'");
    }
    form->Close();
  };
  form->ShowModal();

  EXPECT_EQ(clicks, 2) << "the second click still reaches its handler";
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  const MessageRequest& shown = dialogs.Messages().front();
  EXPECT_TRUE(shown.Text == u"Echec à la définition des données pour 'DisplayName'");
  EXPECT_EQ(shown.Kind, MsgKind::Error);
  EXPECT_TRUE(shown.Title == u"Erreur");
  EXPECT_EQ(shown.Buttons, std::vector<MsgButton>{MsgButton::OK});
}

// Memory exhausted in a handler is said in French, not as "std::bad_alloc".
TEST(Form, MemoryExhaustedInAHandlerIsSaidInFrench) {
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::OK);
  std::vector<std::string> log;
  FormPtr<LoggedForm> form(new LoggedForm("form", log));
  form->Create();
  int clicks = 0;
  form->OnFirstShow = [&] { form->PressLater(); };
  form->OnClick = [&] {
    if (++clicks == 1) {
      form->PressLater();
      throw std::bad_alloc();
    }
    form->Close();
  };
  form->ShowModal();

  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  const MessageRequest& shown = dialogs.Messages().front();
  EXPECT_TRUE(shown.Text == kOutOfMemory);
  EXPECT_EQ(shown.Text.find(u"bad_alloc"), std::u16string::npos);
  EXPECT_EQ(shown.Kind, MsgKind::Error);
}

// A DPI change gives the controls new fonts and places: each of them repaints whole, not
// only the part that its move uncovered.
TEST(Form, ADpiChangeRepaintsEveryControlWhole) {
  std::vector<std::string> log;
  FormPtr<LoggedForm> form(new LoggedForm("form", log));
  form->Create();
  form->Show();
  HWND window = form->Handle();
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

  RECT suggested;
  GetWindowRect(window, &suggested);
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

  for (int id : {kButton, kLabel}) {
    SCOPED_TRACE(testing::Message() << "control " << id);
    HWND control = GetDlgItem(window, id);
    RECT client;
    GetClientRect(control, &client);
    EXPECT_EQ(client.bottom, MulDiv(id == kButton ? 22 : 17, 144, 96)) << "laid out at 144 DPI";
    HRGN pending = CreateRectRgn(0, 0, 0, 0);
    HRGN whole = CreateRectRgnIndirect(&client);
    EXPECT_NE(GetUpdateRgn(control, pending, FALSE), ERROR);
    EXPECT_TRUE(EqualRgn(pending, whole));
    DeleteObject(pending);
    DeleteObject(whole);
  }
}

// GDI draws "Segoe UI" asked at FW_SEMIBOLD as bold: a semi-bold text takes the face
// "Segoe UI Semibold" at the normal weight where the system has it (here a font of the
// test's own by that name), and Segoe UI at FW_SEMIBOLD where it does not.
TEST(Form, SemiBoldTextsTakeTheSemiboldFaceWhereTheSystemHasIt) {
  struct Case {
    bool SemiboldFace;
    int Id;
    const wchar_t* Face;
    LONG Weight;
  };
  const Case cases[] = {
      {false, kTitle, L"Segoe UI", FW_SEMIBOLD},
      {false, kLabel, L"Segoe UI", FW_NORMAL},
      {true, kTitle, L"Segoe UI Semibold", FW_NORMAL},
      {true, kLabel, L"Segoe UI", FW_NORMAL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    std::optional<InstalledTestFont> semibold;
    if (c.SemiboldFace) {
      semibold.emplace(u"Segoe UI Semibold", std::vector<char32_t>{U'A'});
      ASSERT_TRUE(semibold->Installed());
    }
    std::vector<std::string> log;
    FormPtr<LoggedForm> form(new LoggedForm("form", log));
    form->Create();
    const auto font =
        reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(form->Handle(), c.Id), WM_GETFONT, 0, 0));
    LOGFONTW chosen{};
    ASSERT_TRUE(GetObjectW(font, sizeof chosen, &chosen));
    EXPECT_STREQ(chosen.lfFaceName, c.Face);
    EXPECT_EQ(chosen.lfWeight, c.Weight);
  }
}
}  // namespace
