// An unattended setup, as `tovin setup` and `install.exe /answers=FILE` run it: the setup
// program in the current directory on the headless backend, the answers file pressing what a
// person would and answering the boxes; a report of every box, every program started, the
// restart request and the result, one line each; and the exit status both document.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/setup_answers.h"
#include "app/setup_program.h"
#include "ui/headless/headless_backend.h"

namespace tovin {

// Exit statuses, in the manner of established installers.
enum TSetupExitStatus : int {
  kSetupInstalled = 0,
  kSetupCouldNotStart = 1,
  kSetupCancelled = 2,
  kSetupPreparationFailed = 3,
  kSetupRunStopped = 4,
};
// What each status means, for the help of the commands that run a setup.
extern const char* const kSetupExitStatusHelp;

struct TUnattendedRun {
  TSetupOutcome Outcome;
  // [Caption] Text -> Button (where the answer came from), for every box; "launched PATH" or
  // "could not launch PATH: why"; "restart of Windows requested"; last, "result: ...". Control
  // characters of the texts are written as \r, \n and \xHH.
  std::vector<std::string> Report;
  // The answers asked for something the wizard did not offer (the run was cancelled).
  std::string Problem;
  int ExitStatus = kSetupCancelled;
};

// Runs the setup of the current directory. backend is headless itself or a decorator around it,
// answered by the answers; or, with headless null, a backend a person answers (no transcript);
// displayPath shows a path of the platform layer as the user knows it; beforeRun sees the
// windows before the loop starts.
// launchAllowed: whether the platform may start the program at the end (the POSIX sandbox
// starts none unless asked); a refused start is reported as what would have run.
TUnattendedRun RunUnattendedSetup(const TSetupAnswers& answers, ui::THeadlessBackend* headless, ui::TBackend& backend,
                                  const std::function<std::string(const std::string&)>& displayPath,
                                  const std::function<void(const TSetupWindows&)>& beforeRun = {},
                                  bool launchAllowed = true);

}  // namespace tovin
