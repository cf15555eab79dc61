// The uninstaller program and its window on the headless backend, as the registered command
// starts it: the setup's own program copied as uninstaller.exe into the destination.
#include <gtest/gtest.h>

#include "app/uninstaller_program.h"
#include "tests/setup/demo_package.h"
#include "tests/setup/setup_fixture.h"
#include "ui/forwarding_backend.h"
#include "wizard/uninstall_form.h"

namespace tovin::test {
namespace {

struct WindowCase {
  const char* name;
  const char* press;        // the window's button
  const char* otherFiles;   // the second question's answer; empty: no file of the user's
  int status;
  bool removed;             // the product is gone
};

class UninstallerWindow : public SetupTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(UninstallerWindow, AsksOnceShowsTheProgressAndTheResult) {
  const auto& c = GetParam();
  Package(kFiles, kConfig);
  TSetupAnswers answers;
  answers.Finish = TSetupAnswers::fiReturn;
  ASSERT_TRUE(Run(answers).InstallationFinished);
  if (*c.otherFiles) WriteFile(kDest + "\\mine.txt", "mine");

  // The window pumps while it works: the bar as each pump finds it.
  TUninstallForm* window = nullptr;
  std::vector<int> progress;
  std::string result;
  struct Pumps : ui::TForwardingBackend {
    using TForwardingBackend::TForwardingBackend;
    std::function<void()> OnPump;
    void ProcessMessages(ui::TApplication& app) override {
      OnPump();
      Inner().ProcessMessages(app);
    }
  };
  ui::THeadlessBackend b;
  Pumps pumps(b);
  pumps.OnPump = [&] { progress.push_back(window->ProgressBar1.Position()); };
  ui::TApplication a(pumps);
  b.OnIdle = [&](ui::TForm& form) {
    if (&form != window || !form.Visible()) return false;
    if (window->Finished()) {
      result = window->Question.Caption() + " [" + window->Cancel.Caption() + "]";
      window->Cancel.Click();
    }
    else (std::string(c.press) == "Remove" ? window->Remove : window->Cancel).Click();
    return true;
  };
  b.Script = [&](const ui::TMessageRequest& r) -> std::optional<ui::THeadlessAnswer> {
    EXPECT_EQ(r.Id, box::kRemoveOtherFiles);
    EXPECT_EQ(r.Subject, kDest);
    return ui::THeadlessAnswer::Press(c.otherFiles);
  };
  int status = RunUninstallerProgram(a, kDest + "\\uninstaller.exe", "Demo Product", [&](TUninstallForm& form) {
    window = &form;
    EXPECT_EQ(form.Title.Caption(), "Demo Product");
    EXPECT_NE(std::find(form.Items.Lines().begin(), form.Items.Lines().end(), "would remove " + kDest + "\\app.exe"),
              form.Items.Lines().end());
  });
  EXPECT_EQ(status, c.status) << c.name;
  EXPECT_EQ(result, c.removed ? "Demo Product was removed from this computer. [&Close]" : "") << c.name;
  EXPECT_EQ(Exists(kDest + "\\app.exe"), !c.removed) << c.name;
  EXPECT_EQ(Exists(kDest + "\\uninstaller.exe"), !c.removed) << c.name;
  EXPECT_EQ(Exists(kDest + "\\mine.txt"), std::string(c.otherFiles) == "Keep Them") << c.name;
  EXPECT_EQ(b.Transcript().size(), *c.otherFiles && c.removed ? 1u : 0u) << c.name;
  if (c.removed) {
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end())) << c.name;
    EXPECT_GT(progress.size(), 10u) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, UninstallerWindow,
                         ::testing::Values(WindowCase{"removed", "Remove", "", kUninstallerRemoved, true},
                                           WindowCase{"cancelled", "Cancel", "", kUninstallerCancelled, false},
                                           WindowCase{"user-files-kept", "Remove", "Keep Them", kUninstallerRemoved, true},
                                           WindowCase{"user-files-too", "Remove", "Remove Them", kUninstallerRemoved, true}),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           std::replace(n.begin(), n.end(), '-', '_');
                           return n;
                         });

// Nothing to uninstall, or a log no setup writes: said in a box, and nothing is touched.
TEST_F(SetupTest, TheUninstallerRefusesWhatItCannotDo) {
  Package(kFiles, kConfig);
  ASSERT_TRUE(Run().InstallationFinished);
  ui::THeadlessBackend b;
  ui::TApplication a(b);
  EXPECT_EQ(RunUninstallerProgram(a, "C:\\Nothing\\uninstaller.exe", "Demo Product"), kUninstallerFailed);
  WriteFile(kDest + "\\uninstall.cfg", "[Program]\r\nTitle=Demo Product\r\n[UNINS]\r\nC:\\*.*=\r\n");
  EXPECT_EQ(RunUninstallerProgram(a, kDest + "\\uninstaller.exe", "Demo Product"), kUninstallerFailed);
  ASSERT_EQ(b.Transcript().size(), 2u);
  EXPECT_EQ(b.Transcript()[0].Id, box::kNoUninstallLog);
  EXPECT_EQ(b.Transcript()[0].Text,
            "Demo Product: There is nothing to uninstall: no uninstall.cfg can be read in C:\\Nothing");
  EXPECT_EQ(b.Transcript()[1].Id, box::kUninstallRefused);
  EXPECT_NE(b.Transcript()[1].Text.find("[UNINS] \"C:\\*.*\" would remove the files of a drive's root as a whole"),
            std::string::npos);
  EXPECT_TRUE(Exists(kDest + "\\app.exe"));
}

TEST(UninstallerProgram, FollowsItsFileName) {
  EXPECT_TRUE(IsUninstallerProgram("C:\\App\\uninstaller.exe"));
  EXPECT_TRUE(IsUninstallerProgram("C:\\App\\UNINSTALLER.EXE"));
  EXPECT_FALSE(IsUninstallerProgram("C:\\App\\install.exe"));
  EXPECT_FALSE(IsUninstallerProgram("C:\\uninstaller.exe\\install.exe"));
}

}  // namespace
}  // namespace tovin::test
