#include "wizard/uninstall_form.h"

#include "common/box_ids.h"

namespace tovin {
namespace {

constexpr size_t kListedOtherFiles = 10;  // a box shows this many names, then how many more

std::string AsIs(const std::string& path) { return path; }

}  // namespace

TUninstallForm::TUninstallForm(ui::TApplication& app, TUninstallPlan plan, std::string runningProgram)
    : ui::TForm(app, "Uninstall"),
      Title(*this, "Title"),
      Question(*this, "Question"),
      Items(*this, "Items"),
      ProgressBar1(*this, "ProgressBar1"),
      Status(*this, "Status"),
      Remove(*this, "Remove"),
      Cancel(*this, "Cancel"),
      plan_(std::move(plan)),
      runningProgram_(std::move(runningProgram)) {
  SetCaption(app.Title());
  SetBorderStyle(ui::bsDialog);
  SetPosition(ui::poScreenCenter);
  SetClientSize(460, 340);
  ui::TFont big = Font();
  big.Size = 14;
  Title.SetFont(big);
  Title.SetShowAccelChar(false);  // a title may hold an '&'
  Title.SetCaption(plan_.Title);
  Title.SetBounds(12, 10, 436, 26);
  Question.SetShowAccelChar(false);
  Question.SetCaption("Do you want to remove " + plan_.Title + " and all of its components from this computer?");
  Question.SetBounds(12, 42, 436, 30);
  Items.SetReadOnly(true);
  Items.SetWordWrap(false);
  Items.SetScrollBars(ui::ssBoth);
  Items.SetLines(Lines(RunUninstall(plan_, {false, true, runningProgram_}), true));
  Items.SetBounds(12, 76, 436, 180);
  ProgressBar1.SetBounds(12, 264, 436, 16);
  Status.SetShowAccelChar(false);
  Status.SetBounds(12, 284, 436, 16);
  Remove.SetCaption("&Remove");
  Remove.SetDefault(true);
  Remove.SetBounds(280, 306, 80, 25);
  Remove.OnClick = [this] { RemoveClick(); };
  Cancel.SetCaption("Cancel");
  Cancel.SetCancel(true);
  Cancel.SetBounds(368, 306, 80, 25);
  Cancel.OnClick = [this] { CancelClick(); };
}

std::vector<std::string> TUninstallForm::Lines(const TUninstallReport& report, bool dryRun) const {
  std::vector<std::string> lines;
  for (const auto& step : report.Steps) lines.push_back(DescribeStep(step, dryRun, AsIs));
  return lines;
}

bool TUninstallForm::AskAboutOtherFiles() {
  if (plan_.OtherFiles.empty()) return false;
  std::string text = plan_.InstallDir + " holds files that the setup did not install:\n";
  for (size_t i = 0; i < plan_.OtherFiles.size() && i < kListedOtherFiles; ++i) text += "\n" + plan_.OtherFiles[i];
  if (plan_.OtherFiles.size() > kListedOtherFiles)
    text += "\n(and " + std::to_string(plan_.OtherFiles.size() - kListedOtherFiles) + " more)";
  text += "\n\nRemove these files too?";
  // Keeping them is what a slip of the Enter key does.
  return Application().WarningBox(text, "Confirm", {"&Keep Them", "&Remove Them"}, 0, 0, box::kRemoveOtherFiles,
                                  plan_.InstallDir) == 1;
}

void TUninstallForm::RemoveClick() {
  if (finished_) return;
  Remove.SetEnabled(false);
  Cancel.SetEnabled(false);
  SetCaptionButtons(false);  // no closing half way
  bool removeOthers = AskAboutOtherFiles();
  Question.SetCaption("Removing " + plan_.Title + "...");
  report_ = RunUninstall(plan_, {removeOthers, false, runningProgram_}, [this](const std::string& item, int at, int of) {
    ProgressBar1.SetRange(0, of);
    ProgressBar1.SetPosition(at);
    Status.SetCaption(item);
    Application().ProcessMessages();
  });
  finished_ = true;
  ProgressBar1.SetPosition(ProgressBar1.Max());
  Items.SetLines(Lines(report_, false));
  bool atRestart = false;
  for (const auto& step : report_.Steps) atRestart = atRestart || step.Result == urAtRestart;
  Question.SetCaption(report_.Complete ? plan_.Title + " was removed from this computer."
                                       : plan_.Title + " was removed, except the items listed as not removed.");
  Status.SetCaption(atRestart ? "Some items are removed when Windows restarts." : "");
  Cancel.SetCaption("&Close");
  Cancel.SetEnabled(true);
  Remove.SetDefault(false);
  Cancel.SetDefault(true);
  SetCaptionButtons(true);
  SetActiveControl(&Cancel);
}

void TUninstallForm::CancelClick() { Close(); }

}  // namespace tovin
