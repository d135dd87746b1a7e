// The window layer's rules that the pages rely on: the order of events when a page
// closes its hidden opener, a modal showing, and the default error handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/scriptedDialogs.h"
#include "ui/form_win.h"
#include "util/appError.h"

namespace {
constexpr int kButton = 101;

const ControlSpec kControls[] = {{kButton, ControlKind::Button, 10, 10, 80, 22, u"Bouton"}};
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
}  // namespace
