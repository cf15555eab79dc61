#include "app/unattended_setup.h"

#include <cstdio>
#include <memory>

#include "app/unattended_driver.h"
#include "common/system_routines.h"
#include "platform/platform.h"
#include "ui/application.h"

namespace tovin {
namespace {

const char* SourceText(ui::TAnswerSource source) {
  switch (source) {
    case ui::asScript: return "answers file";
    case ui::asDefault: return "default button";
    case ui::asTerminated: return "not shown: the setup was ending";
  }
  return "";
}

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

std::string WithoutAccelerator(std::string label) {
  std::erase(label, '&');
  return label;
}

}  // namespace

const char* const kSetupExitStatusHelp =
    "0 installed; 1 the setup could not start; 2 cancelled or declined before the installation run;\n"
    "3 preparation failed or was aborted; 4 the installation run stopped on an error";

TUnattendedRun RunUnattendedSetup(const TSetupAnswers& answers, ui::THeadlessBackend* headless, ui::TBackend& backend,
                                  const std::function<std::string(const std::string&)>& displayPath,
                                  const std::function<void(const TSetupWindows&)>& beforeRun, bool launchAllowed) {
  ui::TApplication app(backend);
  std::unique_ptr<TUnattendedDriver> driver;
  struct Launch {
    std::string file, directory;
    intptr_t result;
  };
  std::vector<Launch> launches;
  SetShellObserver([&](const std::string& file, const std::string& directory, intptr_t result) {
    launches.push_back({file, directory, result});
  });
  TUnattendedRun run;
  try {
    run.Outcome = RunSetupProgram(app, [&](const TSetupWindows& windows) {
      if (headless) {
        driver = std::make_unique<TUnattendedDriver>(answers, windows);
        headless->OnIdle = [&](ui::TForm& form) { return driver->OnIdle(form); };
        headless->Script = [&](const ui::TMessageRequest& r) { return driver->Answer(r); };
      }
      if (beforeRun) beforeRun(windows);
    });
  } catch (...) {
    SetShellObserver({});
    if (headless) headless->OnIdle = {}, headless->Script = {};
    throw;
  }
  SetShellObserver({});
  if (headless) headless->OnIdle = {}, headless->Script = {};

  if (headless)
    for (const auto& e : headless->Transcript())
      run.Report.push_back("[" + ui::EscapeControls(e.Caption) + "] " + ui::EscapeControls(e.Text) + " -> " + WithoutAccelerator(e.Button) +
                           (e.Kind == ui::mkInput ? " \"" + ui::EscapeControls(e.Value) + "\"" : "") + " (" +
                           SourceText(e.Source) + ")");
  for (const auto& l : launches) {
    std::string where = displayPath(l.directory + l.file);
    if (l.result > 32) run.Report.push_back("launched " + where);
    else if (l.result == plat::kShellErrAccessDenied && !launchAllowed)
      run.Report.push_back("would launch " + where + "; not started (tovin setup --launch starts a program of the "
                           "emulated drives)");
    else if (l.result == plat::kShellErrAccessDenied)
      run.Report.push_back("did not launch " + where + ": only a program on the emulated machine's drives is started");
    else run.Report.push_back("could not launch " + where + ": " + ShellFailure(l.result));
  }
  if (run.Outcome.RegistryEntrySkipped) run.Report.push_back("no uninstall entry registered: the setup's Header is empty");
  if (run.Outcome.RestartRequested) run.Report.push_back("restart of Windows requested");
  if (driver) run.Problem = driver->Problem();

  if (run.Outcome.StartRefused) {
    run.Report.push_back("result: the setup refused to start");
    run.ExitStatus = kSetupCouldNotStart;
  } else if (run.Outcome.PrepareFailed) {
    run.Report.push_back("result: the package could not be prepared");
    run.ExitStatus = kSetupPreparationFailed;
  } else if (run.Outcome.InstallationFinished) {
    run.Report.push_back("result: installed");
    run.ExitStatus = kSetupInstalled;
  } else if (run.Outcome.InstallationStarted) {
    run.Report.push_back("result: the installation run stopped on an error");
    run.ExitStatus = kSetupRunStopped;
  } else {
    run.Report.push_back("result: cancelled before anything was installed");
    run.ExitStatus = kSetupCancelled;
  }
  return run;
}

}  // namespace tovin
