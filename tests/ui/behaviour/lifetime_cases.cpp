// A backend learns of complete controls only, and of their going while their form is alive.
#include <memory>

#include "tests/ui/behaviour/behaviour_suite.h"

namespace tovin::ui::test {
namespace {

class TLists : public TForm {
 public:
  explicit TLists(TApplication& app) : TForm(app, "Lists") {}
  TCheckListBox checks{*this, "checks"};
  TDirectoryListBox folders{*this, "folders"};
  TDriveComboBox drives{*this, "drives"};
};

}  // namespace

TEST_P(Lifetime, ControlsAreAnnouncedAsWhatTheyAreAndGoBeforeTheirForm) {
  {
    TLists form(app);
    EXPECT_TRUE(recorder.createdAs.empty()) << "nothing is announced before the form is shown";
    form.checks.Add("one");
    form.Show();
    EXPECT_EQ(recorder.createdAs, (std::vector<std::string>{typeid(TLists).name(), typeid(TCheckListBox).name(),
                                                             typeid(TDirectoryListBox).name(),
                                                             typeid(TDriveComboBox).name()}));
    form.Hide();
  }
  EXPECT_EQ(recorder.destroyed, 4);
  EXPECT_TRUE(recorder.live.empty());
}

TEST_P(Lifetime, AControlMadeWhileItsFormIsShownIsAnnouncedAtTheNextTurn) {
  TProbe form(app);
  std::unique_ptr<TCheckListBox> late;
  harness->WhenIdle([&](TForm&) {
    if (!late) {
      late = std::make_unique<TCheckListBox>(form, "late");
      late->Add("item");
      EXPECT_FALSE(recorder.live.contains(late.get())) << "not while it may still be under construction";
      return true;
    }
    EXPECT_TRUE(recorder.live.contains(late.get()));
    EXPECT_EQ(recorder.createdAs.back(), typeid(TCheckListBox).name());
    late.reset();
    return form.ok.Click();
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
}

// The preparing window is made, run and released inside the background window's timer.
TEST_P(Lifetime, AFormReleasedInsideATimerHandlerLeavesNothingBehind) {
  TProbe main(app, "Main");
  TTimer timer(main, "Timer1");
  timer.SetInterval(10);
  std::set<const TControl*> dialogControls;
  timer.OnTimer = [&] {
    timer.SetEnabled(false);
    auto dialog = std::make_unique<TProbe>(app, "Dialog");
    harness->WhenIdle([&](TForm& loop) {
      if (&loop != dialog.get()) return false;
      dialogControls.insert(dialog.get());
      for (TControl* c : dialog->AllControls()) dialogControls.insert(c);
      return dialog->ok.Click();
    });
    dialog->ShowModal();
    dialog.reset();
    for (const TControl* c : dialogControls) EXPECT_FALSE(recorder.live.contains(c));
    main.Close();
  };
  app.Run(main);
  EXPECT_EQ(dialogControls.size(), 5u);
}

TEST_P(Lifetime, AChildWhoseParentGoesFirstGoesWithIt) {
  TProbe form(app);
  auto panel = std::make_unique<TPanel>(form, "panel");
  TButton inner(*panel, "inner");
  form.Show();
  ASSERT_TRUE(recorder.live.contains(&inner));
  panel.reset();
  EXPECT_FALSE(recorder.live.contains(&inner));
  inner.SetCaption("no one is told");
  form.Hide();
}

}  // namespace tovin::ui::test
