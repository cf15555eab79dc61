// The wizard's pages: forward and backward flows, the licence, the summary, the shortcut lists
// and the destination dialog.
#include <gtest/gtest.h>

#include "tests/wizard/wizard_fixture.h"

namespace tovin::test {
namespace {

struct FlowCase {
  int licenceLines;
  bool folder;       // Folder setting non-empty
  bool workStation;  // WorkStationPrompt
  std::vector<int> forward;   // pages from 0 to 5, pressing Next (Accept on the licence)
  std::vector<int> backward;  // pages from 5 back to 0, pressing Back
};

class Flows : public WizardTest, public ::testing::WithParamInterface<FlowCase> {};

TEST_P(Flows, ForwardAndBackward) {
  const auto& c = GetParam();
  if (c.licenceLines) Licence(c.licenceLines);
  host->settings.Folder = c.folder ? "MyApp" : "";
  host->settings.WorkStationPrompt = c.workStation;
  std::vector<int> forward, backward;
  bool goingBack = false;
  Drive([&](TTovin& w) {
    int page = w.Notebook1.PageIndex();
    if (!goingBack) {
      forward.push_back(page);
      if (page == TTovin::kReady) {
        EXPECT_FALSE(w.next.Enabled());
        EXPECT_TRUE(w.install.Visible());
        goingBack = true;
        return w.back.Click();
      }
      if (page == TTovin::kLicence) {
        EXPECT_FALSE(w.next.Enabled());
        return w.accept.Click();
      }
      return w.next.Click();
    }
    backward.push_back(page);
    EXPECT_FALSE(w.install.Visible());
    if (page == TTovin::kWelcome) {
      EXPECT_FALSE(w.back.Enabled());
      EXPECT_TRUE(w.next.Enabled());
      return w.cancel.Click();
    }
    if (page == TTovin::kLicence) {
      EXPECT_FALSE(w.next.Enabled());
      EXPECT_TRUE(w.back.Enabled());
    }
    return w.back.Click();
  });
  forward.push_back(TTovin::kReady);
  backward.insert(backward.begin(), TTovin::kReady);
  backward.push_back(TTovin::kWelcome);
  forward.erase(forward.end() - 1);
  backward.erase(backward.end() - 1);
  EXPECT_EQ(forward, c.forward);
  EXPECT_EQ(backward, c.backward);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCombination, Flows,
    ::testing::Values(FlowCase{3, true, false, {0, 1, 2, 3, 5}, {5, 3, 2, 1, 0}},
                      FlowCase{3, true, true, {0, 1, 2, 3, 4, 5}, {5, 4, 3, 2, 1, 0}},
                      FlowCase{3, false, false, {0, 1, 2, 5}, {5, 2, 1, 0}},
                      FlowCase{3, false, true, {0, 1, 2, 4, 5}, {5, 4, 2, 1, 0}},
                      FlowCase{0, true, false, {0, 2, 3, 5}, {5, 3, 2, 0}},
                      FlowCase{1, true, true, {0, 2, 3, 4, 5}, {5, 4, 3, 2, 0}},
                      FlowCase{0, false, false, {0, 2, 5}, {5, 2, 0}},
                      FlowCase{1, false, true, {0, 2, 4, 5}, {5, 4, 2, 0}}));

TEST_F(WizardTest, TheSummaryAndTheLaunchLabel) {
  host->settings.InstallDir = "App";
  host->settings.AddToProgramFiles = true;
  host->settings.Folder = "Tools";
  host->settings.Launch = "<INSTALLDIR>app.exe";
  Drive([](TTovin& w) {
    if (w.Notebook1.PageIndex() != TTovin::kReady) return w.next.Click();
    EXPECT_EQ(w.Memo4.Lines(), (std::vector<std::string>{"Install to:", "  C:\\Program Files\\App", "", "Folders:Tools", "  "}));
    EXPECT_EQ(w.Label2.Caption(), "app.exe");
    return w.cancel.Click();
  });
}

TEST_F(WizardTest, ShortcutListsAreRebuiltAllCheckedOnEveryArrival) {
  host->settings.DesktopList = {"App~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.ico", "Help~<INSTALLDIR>h.hlp~~X~",
                                "Three~<INSTALLDIR>t.exe~X"};
  int arrivals = 0;
  Drive([&](TTovin& w) {
    int page = w.Notebook1.PageIndex();
    if (page == TTovin::kFolders) {
      ++arrivals;
      EXPECT_EQ(w.DK.Items(), (std::vector<std::string>{"App", "Three"}));
      EXPECT_EQ(w.SM.Items(), (std::vector<std::string>{"App", "Help", "Three"}));
      for (int i = 0; i < 2; ++i) EXPECT_TRUE(w.DK.Checked(i));
      if (arrivals == 1) {
        w.DK.ClickCheck(0);
        return w.back.Click();
      }
      return w.cancel.Click();
    }
    return w.next.Click();
  });
  EXPECT_EQ(arrivals, 2);
}

TEST_F(WizardTest, CancelUnchecksTheRestartDeclineDoesNot) {
  Licence(2);
  Drive([](TTovin& w) { return w.Notebook1.PageIndex() == TTovin::kLicence ? w.decline.Click() : w.next.Click(); });
  EXPECT_TRUE(Wizard().reboot.Checked());
  Drive([](TTovin& w) { return w.cancel.Click(); });
  EXPECT_FALSE(Wizard().reboot.Checked());
  EXPECT_FALSE(Wizard().InstallationStarted());
}

TEST_F(WizardTest, FoldersDoubleClickCopiesTheName) {
  Wizard().Folders.SetItems({"Games", "Tools"});
  Wizard().CreateFolder.SetText("Mine");
  Wizard().FoldersDblClick();
  EXPECT_EQ(Wizard().CreateFolder.Text(), "Mine");
  Wizard().Folders.SetItemIndex(1);
  Wizard().FoldersDblClick();
  EXPECT_EQ(Wizard().CreateFolder.Text(), "Tools");
}

struct BrowseCase {
  std::string typed;      // what ends up in Edit1; empty: leave it
  const char* dialog;     // "OK" or "Cancel"
  const char* confirm;    // answer to the confirmation, if asked
  bool asked;
  bool changes;
};

class Browse : public WizardTest, public ::testing::WithParamInterface<BrowseCase> {
 protected:
  bool browsed_ = false;
};

TEST_P(Browse, TheDestinationChangesOnlyAfterOkAndYes) {
  const auto& c = GetParam();
  CreateDirectoryPath("C:\\Program Files\\App");
  host->settings.InstallDir = "Program Files\\App";
  backend.Script = [&](const ui::TMessageRequest&) { return ui::THeadlessAnswer::Press(c.confirm); };
  backend.OnIdle = [&](ui::TForm& form) {
    if (&form == dialog.get()) {
      EXPECT_EQ(dialog->Edit1.Text(), "C:\\Program Files\\App");
      if (!c.typed.empty()) dialog->Edit1.SetText(c.typed);
      return (std::string(c.dialog) == "OK" ? dialog->BitBtn1 : dialog->BitBtn2).Click();
    }
    if (wizard->Notebook1.PageIndex() != TTovin::kDestination) return wizard->next.Click();
    if (!browsed_) {
      browsed_ = true;
      return wizard->browse.Click();
    }
    return wizard->cancel.Click();
  };
  Wizard().ShowModal();
  EXPECT_EQ(backend.Transcript().size(), c.asked ? 1u : 0u);
  if (c.asked) {
    EXPECT_EQ(backend.Transcript()[0].Text, "Create New Directory for Installation [" + c.typed + "] ?");
    EXPECT_EQ(backend.Transcript()[0].Id, box::kCreateDirectory);
    EXPECT_EQ(backend.Transcript()[0].Subject, c.typed);
  }
  EXPECT_EQ(Wizard().Label1.Caption(), c.changes ? c.typed : "C:\\Program Files\\App");
}

INSTANTIATE_TEST_SUITE_P(
    Table, Browse,
    ::testing::Values(BrowseCase{"", "OK", "Yes", false, false},
                      BrowseCase{"D:\\New Place", "OK", "Yes", true, true},
                      BrowseCase{"D:\\New Place", "OK", "No", true, false},
                      BrowseCase{"c:\\program files\\app", "OK", "Yes", true, true},
                      BrowseCase{"D:\\New Place", "Cancel", "Yes", false, false}));

}  // namespace
}  // namespace tovin::test
