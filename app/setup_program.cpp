#include "app/setup_program.h"

#include "app/main_setup.h"
#include "prepare/unzip_form.h"
#include "wizard/select_directory.h"
#include "wizard/tovin_wizard.h"

namespace tovin {

TSetupOutcome RunSetupProgram(ui::TApplication& app, const std::function<void(const TSetupWindows&)>& beforeRun) {
  app.SetTitle("Tovin - Setup");
  TMainSetup main(app);
  TForm3 directoryDialog(app);
  TTovin wizard(app, main, directoryDialog);
  main.Attach(wizard, std::make_unique<TUnzip>(app, main));
  if (beforeRun) beforeRun({main, directoryDialog, wizard});
  try {
    app.Run(main);
  } catch (...) {
    main.ClearTempDir();
    throw;
  }
  TSetupOutcome outcome;
  outcome.StartRefused = main.StartedInTempDir();
  outcome.PrepareFailed = main.PrepareFailed();
  outcome.WizardShown = main.WizardShown();
  outcome.InstallationStarted = wizard.InstallationStarted();
  outcome.InstallationFinished = wizard.InstallationFinished();
  outcome.RestartRequested = main.RestartRequested();
  outcome.RegistryEntrySkipped = wizard.RegistryEntrySkipped();
  if (outcome.InstallationFinished) outcome.InstallDir = wizard.Label1.Caption();
  return outcome;
}

}  // namespace tovin
