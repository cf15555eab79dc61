// TUninstallForm: the uninstaller's window. It names the product, lists what goes and what
// stays, asks once whether to remove it (its Remove and Cancel buttons), asks a second time
// before removing files the setup did not install, shows the progress and then the result:
// every item that could not be removed, with the system's reason.
#pragma once
#include <string>

#include "ui/ui.h"
#include "wizard/uninstall_plan.h"
#include "wizard/uninstall_run.h"

namespace tovin {

class TUninstallForm : public ui::TForm {
 public:
  // The plan must not be refused. runningProgram: the uninstaller's own file, if it is the
  // one running (TUninstallOptions::RunningProgram).
  TUninstallForm(ui::TApplication& app, TUninstallPlan plan, std::string runningProgram);

  void RemoveClick();
  void CancelClick();

  bool Finished() const { return finished_; }
  const TUninstallReport& Report() const { return report_; }

  ui::TLabel Title;
  ui::TLabel Question;
  ui::TMemo Items;
  ui::TProgressBar ProgressBar1;
  ui::TLabel Status;
  ui::TButton Remove;
  ui::TButton Cancel;

 private:
  bool AskAboutOtherFiles();
  std::vector<std::string> Lines(const TUninstallReport& report, bool dryRun) const;

  TUninstallPlan plan_;
  std::string runningProgram_;
  TUninstallReport report_;
  bool finished_ = false;
};

}  // namespace tovin
