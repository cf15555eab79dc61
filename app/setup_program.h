// The program entry of the setup: the application titled "Tovin - Setup", its four windows made
// in order (background, directory dialog, wizard, preparing window) and the event loop.
#pragma once
#include <functional>
#include <string>

#include "ui/application.h"

namespace tovin {

class TMainSetup;
class TForm3;
class TTovin;

struct TSetupWindows {
  TMainSetup& Main;
  TForm3& DirectoryDialog;
  TTovin& Wizard;
};

// How the run ended.
struct TSetupOutcome {
  bool StartRefused = false;  // started from inside its own temporary folder
  bool PrepareFailed = false;
  bool WizardShown = false;
  bool InstallationStarted = false;
  bool InstallationFinished = false;
  bool RestartRequested = false;
  bool RegistryEntrySkipped = false;  // the title was empty: no uninstall entry
  std::string InstallDir;             // a finished run's destination, where its uninstall.cfg is
};

// Runs the setup in the current directory (its start directory). beforeRun sees the windows
// once they exist, before the loop starts (an unattended driver hooks in there). A stop that
// unwinds the run (an interruption) clears the temporary folder on its way out, as the
// background window's close would.
TSetupOutcome RunSetupProgram(ui::TApplication& app,
                              const std::function<void(const TSetupWindows&)>& beforeRun = {});

}  // namespace tovin
