// The program entry of the setup: the application titled "Tovin - Setup", its four windows made
// in order (background, directory dialog, wizard, preparing window) and the event loop.
#pragma once
#include <functional>

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
  bool PrepareFailed = false;
  bool WizardShown = false;
  bool InstallationStarted = false;
  bool InstallationFinished = false;
  bool RestartRequested = false;
};

// Runs the setup in the current directory (its start directory). beforeRun sees the windows
// once they exist, before the loop starts (an unattended driver hooks in there).
TSetupOutcome RunSetupProgram(ui::TApplication& app,
                              const std::function<void(const TSetupWindows&)>& beforeRun = {});

}  // namespace tovin
