#include "app/unattended_setup.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/answers_check.h"
#include "app/unattended_driver.h"
#include "common/box_ids.h"
#include "common/install_config.h"
#include "common/system_routines.h"
#include "platform/platform.h"
#include "ui/application.h"
#include "wizard/tovin_wizard.h"

namespace tovin {
namespace {

// Why the shell could not start a program, from ShellExecute's result.
std::string ShellFailure(intptr_t code) {
  switch (code) {
    case 0: case 8: return "out of memory";
    case 2: return "the file was not found";
    case 3: return "the folder was not found";
    case 5: return "access was denied";
    case 11: return "it is not a valid program";
    case 31: return "no program on this system runs it";
    default: return "the shell answered " + std::to_string(code);
  }
}

// The answers held against the machine and the package, before anything runs.
std::string AnswersProblemHere(const TSetupAnswers& answers) {
  SetupSettings settings;
  LookSettings look;
  ComputeSetupPaths(settings);
  ReadInstallConfig(settings, look);
  return AnswersProblem(answers, settings);
}

void Conclude(TUnattendedRun& run) {
  const TSetupOutcome& o = run.Outcome;
  for (const TTracedBox& b : run.Boxes) {
    const std::string& id = b.Entry.Id;
    if (id == box::kCopyFailed &&
        std::find(run.FailedFiles.begin(), run.FailedFiles.end(), b.Entry.Subject) == run.FailedFiles.end())
      run.FailedFiles.push_back(b.Entry.Subject);
    if (id == box::kExpandFailed && !b.Entry.Subject.empty())
      run.Errors.push_back(b.Entry.Text + " " + ui::EscapeControls(b.Entry.Subject));
  }
  if (o.StartRefused) {
    run.Result = "the setup refused to start";
    run.ExitStatus = kSetupCouldNotStart;
  } else if (o.PrepareFailed) {
    run.Result = "the package could not be prepared";
    run.ExitStatus = kSetupPreparationFailed;
  } else if (o.InstallationFinished && run.FailedFiles.empty()) {
    run.Result = "installed";
    run.ExitStatus = kSetupInstalled;
  } else if (o.InstallationFinished) {
    std::string files;
    for (const auto& f : run.FailedFiles) files += (files.empty() ? "" : ", ") + ui::EscapeControls(f);
    run.Result = "installed with errors: not written: " + files;
    run.ExitStatus = kSetupInstalledWithErrors;
  } else if (o.InstallationStarted) {
    run.Result = "the installation run stopped on an error";
    run.ExitStatus = kSetupRunStopped;
  } else {
    run.Result = "cancelled before anything was installed";
    run.ExitStatus = kSetupCancelled;
  }
  run.Report.push_back("result: " + run.Result);
}

}  // namespace

const char* const kSetupExitStatusHelp =
    "0 installed; 1 the setup could not start (answers file, package, machine); 2 wrong command line;\n"
    "3 cancelled or declined before the installation run; 4 preparation failed or was aborted;\n"
    "5 the installation run stopped on an error; 6 installed with errors (files not written)";

std::vector<std::string> RunLog(const TUnattendedRun& run) {
  std::vector<std::string> log(run.Report.begin(), run.Report.end() - (run.Report.empty() ? 0 : 1));
  for (const auto& n : run.Notices) log.push_back("note: " + n);
  for (const auto& e : run.Errors) log.push_back("error: " + e);
  if (!run.Problem.empty()) log.push_back("error: " + run.Problem);
  if (!run.Report.empty()) log.push_back(run.Report.back());
  return log;
}

TUnattendedRun RunUnattendedSetup(const TSetupAnswers& answers, ui::THeadlessBackend* headless, ui::TBackend& backend,
                                  const std::function<std::string(const std::string&)>& displayPath,
                                  const std::function<void(const TSetupWindows&)>& beforeRun,
                                  const TUnattendedOptions& options) {
  TUnattendedRun run;
  if (headless && !answers.File.empty()) {
    run.Problem = AnswersProblemHere(answers);
    if (!run.Problem.empty()) {
      run.Result = "the answers do not fit this setup";
      run.Report.push_back("result: " + run.Result);
      run.ExitStatus = kSetupCouldNotStart;
      return run;
    }
  }
  TSetupTrace trace;
  std::unique_ptr<TTraceBackend> traced;
  if (headless) traced = std::make_unique<TTraceBackend>(backend, *headless, trace);
  ui::TApplication app(traced ? static_cast<ui::TBackend&>(*traced) : backend);
  std::unique_ptr<TUnattendedDriver> driver;
  struct Launch {
    std::string file, directory;
    intptr_t result;
  };
  std::vector<Launch> launches;
  SetShellObserver([&](const std::string& file, const std::string& directory, intptr_t result) {
    launches.push_back({file, directory, result});
  });
  auto unhook = [&] {
    SetShellObserver({});
    if (headless) headless->OnIdle = {}, headless->Script = {};
  };
  try {
    run.Outcome = RunSetupProgram(app, [&](const TSetupWindows& windows) {
      if (headless) {
        driver = std::make_unique<TUnattendedDriver>(answers, windows, &trace, options.Strict);
        headless->OnIdle = [&](ui::TForm& form) { return driver->OnIdle(form); };
        headless->Script = [&](const ui::TMessageRequest& r) { return driver->Answer(r); };
        traced->Paged = &windows.Wizard;
        traced->Why = [&](const ui::TTranscriptEntry&) { return driver->LastAnswerWhy(); };
      }
      if (beforeRun) beforeRun(windows);
    });
  } catch (...) {
    unhook();
    throw;
  }
  unhook();

  run.Report = trace.Lines();
  run.Boxes = trace.Boxes();
  for (const auto& l : launches) {
    std::string where = displayPath(l.directory + l.file);
    if (l.result > 32) run.Report.push_back("launched " + where);
    else if (l.result == plat::kShellErrAccessDenied && !options.LaunchAllowed)
      run.Report.push_back("would launch " + where + "; not started (tovin setup --launch starts a program of the "
                           "emulated drives)");
    else if (l.result == plat::kShellErrAccessDenied)
      run.Report.push_back("did not launch " + where + ": only a program on the emulated machine's drives is started");
    else run.Report.push_back("could not launch " + where + ": " + ShellFailure(l.result));
  }
  if (run.Outcome.RegistryEntrySkipped) run.Report.push_back("no uninstall entry registered: the setup's Header is empty");
  if (run.Outcome.RestartRequested) run.Report.push_back("restart of Windows requested");
  if (driver) {
    run.Problem = driver->Problem();
    for (const auto& n : driver->Unused())
      if (n != run.Problem) run.Notices.push_back(n);
  }
  Conclude(run);
  return run;
}

}  // namespace tovin
