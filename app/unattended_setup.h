// An unattended setup, as `tovin setup` and `install.exe /answers=FILE` run it: the setup
// program in the current directory on the headless backend, the answers file pressing what a
// person would and answering the boxes; a transcript of every window, page, press and box, of
// every program started, the restart request and the result, one line each; and the exit
// status both document.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/setup_answers.h"
#include "app/setup_program.h"
#include "app/setup_trace.h"
#include "ui/headless/headless_backend.h"

namespace tovin {

// Exit statuses, in the manner of established installers. 2 is left out: it is a wrong command
// line to the tool that runs the setup.
enum TSetupExitStatus : int {
  kSetupInstalled = 0,
  kSetupCouldNotStart = 1,
  kSetupCancelled = 3,
  kSetupPreparationFailed = 4,
  kSetupRunStopped = 5,
  kSetupInstalledWithErrors = 6,
};
// What each status means, for the help of the commands that run a setup.
extern const char* const kSetupExitStatusHelp;

struct TUnattendedOptions {
  // Whether the platform may start the program at the end (the POSIX sandbox starts none unless
  // asked); a refused start is reported as what would have run.
  bool LaunchAllowed = true;
  // An answer that finds nothing to press cancels the run.
  bool Strict = false;
};

struct TUnattendedRun {
  TSetupOutcome Outcome;
  // The transcript (TSetupTrace's lines); then "launched PATH" or "could not launch PATH: why";
  // "restart of Windows requested"; last, "result: ...". Control characters of the texts are
  // written as \r, \n and \xHH.
  std::vector<std::string> Report;
  std::vector<TTracedBox> Boxes;
  std::string Result;  // what "result: " says
  // The files whose copy failed ("ERROR on ..." during the run), each once.
  std::vector<std::string> FailedFiles;
  // What went wrong behind a box that does not say it ("Error Expanding Files!!").
  std::vector<std::string> Errors;
  // Answers that found nothing to press.
  std::vector<std::string> Notices;
  // The answers asked for something the wizard did not offer (the run was cancelled), or
  // cannot hold on this machine or package (the run did not start).
  std::string Problem;
  int ExitStatus = kSetupCancelled;
};

// The whole record of a run, as a log file holds it: the report, with the notices, errors and
// the problem ("note: ...", "error: ...") before its result line.
std::vector<std::string> RunLog(const TUnattendedRun& run);

// Runs the setup of the current directory. backend is headless itself or a decorator around it,
// answered by the answers; or, with headless null, a backend a person answers (no transcript);
// displayPath shows a path of the platform layer as the user knows it; beforeRun sees the
// windows before the loop starts.
TUnattendedRun RunUnattendedSetup(const TSetupAnswers& answers, ui::THeadlessBackend* headless, ui::TBackend& backend,
                                  const std::function<std::string(const std::string&)>& displayPath,
                                  const std::function<void(const TSetupWindows&)>& beforeRun = {},
                                  const TUnattendedOptions& options = {});

}  // namespace tovin
