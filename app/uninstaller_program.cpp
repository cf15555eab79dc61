#include "app/uninstaller_program.h"

#include "common/box_ids.h"
#include "platform/exception.h"
#include "platform/ini_document.h"
#include "wizard/uninstall_form.h"
#include "wizard/uninstall_info.h"
#include "wizard/uninstall_log_reader.h"
#include "wizard/uninstall_plan.h"

namespace tovin {

bool IsUninstallerProgram(const std::string& programPath) {
  return ini::EqualNoCase(NamePart(programPath), kUninstallerName);
}

int RunUninstallerProgram(ui::TApplication& app, const std::string& programPath, const std::string& title,
                          const std::function<void(TUninstallForm&)>& beforeRun) {
  app.SetTitle("Tovin - Uninstall");
  std::string dest = ParentOf(programPath);
  TUninstallPlan plan;
  try {
    plan = PlanUninstall(dest);
  } catch (const Exception& e) {
    app.ShowMessage((title.empty() ? std::string() : title + ": ") + e.Message(), box::kNoUninstallLog, dest);
    return kUninstallerFailed;
  }
  if (plan.Refused()) {
    std::string log = plan.InstallDir + "\\" + kUninstallLogName, text = log + " is refused, nothing was removed:\n";
    for (const auto& why : plan.Refusals) text += "\n" + why;
    app.ShowMessage(text, box::kUninstallRefused, log);
    return kUninstallerFailed;
  }
  if (plan.Title.empty()) plan.Title = title;
  TUninstallForm form(app, std::move(plan), programPath);
  if (beforeRun) beforeRun(form);
  app.Run(form);
  if (!form.Finished()) return kUninstallerCancelled;
  return form.Report().Complete ? kUninstallerRemoved : kUninstallerFailed;
}

}  // namespace tovin
