// tovin setup: runs the setup program on a package folder exactly as install.exe would: on the
// terminal for a person, or without one: the headless backend, the answers file pressing the
// controls, a transcript of every box on standard output.
#include <cstdio>

#include "app/setup_answers.h"
#include "app/setup_program.h"
#include "common/system_routines.h"
#include "app/unattended_driver.h"
#include "platform/platform.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"
#include "tools/host_paths.h"
#include "tools/interruption.h"
#include "tools/progress.h"
#include "tools/setup_screen.h"
#include "ui/forwarding_backend.h"
#include "ui/ui.h"
#include "wizard/tovin_wizard.h"

namespace tovin::cli {
namespace {

// Exit statuses of the setup command, in the manner of established installers.
constexpr int kSetupInstalled = 0;
constexpr int kSetupCouldNotStart = 1;
constexpr int kSetupCancelled = 2;
constexpr int kSetupPreparationFailed = 3;
constexpr int kSetupRunStopped = 4;

const char* SourceText(ui::TAnswerSource source) {
  switch (source) {
    case ui::asScript: return "answers file";
    case ui::asDefault: return "default button";
    case ui::asTerminated: return "not shown: the setup was ending";
  }
  return "";
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') out += "\\n";
    else if (text[i] == '\r') out += "\\r";
    else out += Printable(std::string(1, text[i]));
  }
  return out;
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

std::string StripAccelerator(std::string label) {
  std::erase(label, '&');
  return label;
}

// The headless backend, with the setup's two progress bars shown on the terminal.
class ProgressBackend final : public ui::TForwardingBackend {
 public:
  ProgressBackend(ui::THeadlessBackend& inner, bool quiet) : TForwardingBackend(inner), progress_(quiet) {}
  // The setup pauses here between blocks and files: a stop asked for unwinds it from here.
  void ProcessMessages(ui::TApplication& app) override {
    StopIfInterrupted();
    Inner().ProcessMessages(app);
  }
  ui::TMessageAnswer Ask(const ui::TMessageRequest& request) override {
    progress_.Done();
    return Inner().Ask(request);
  }
  void FormHidden(ui::TForm& form) override {
    progress_.Done();
    Inner().FormHidden(form);
  }
  void ControlChanged(ui::TControl& control, ui::TProperty property) override {
    Inner().ControlChanged(control, property);
    auto* bar = dynamic_cast<ui::TProgressBar*>(&control);
    if (!bar || !control.Form()) return;
    std::string form = control.Form()->Name();
    const char* labelName = form == "Unzip" && control.Name() == "ProgressBar2" ? "Label2"
                            : form == "Tovin" && control.Name() == "ProgressBar1" ? "source"
                                                                                   : nullptr;
    if (!labelName) return;
    ui::TControl* label = control.Form()->FindControl(labelName);
    progress_.SetTotal(static_cast<uint64_t>(std::max(bar->Max() - bar->Min(), 0)));
    progress_.ShowCount((form == "Unzip" ? "preparing " : "installing ") + (label ? label->Caption() : ""),
                        static_cast<uint64_t>(std::max(bar->Position() - bar->Min(), 0)));
  }

 private:
  Progress progress_;
};

}  // namespace

int SetupCommand(const Args& args, const Globals& globals) {
  std::string root, answersFile, uiName, package = ".";
  bool quiet = globals.quiet;
  OptionParser p("setup", "[--root R] [--answers FILE] [--ui terminal|headless] [-q] [PACKAGE]",
                 "Runs the setup program of a package folder, as install.exe would, on the emulated\n"
                 "machine: on the terminal, where a person makes every choice with the keyboard, or\n"
                 "unattended, printing every message box and its answer.");
  p.Text("--root", "R", "the folder of the emulated Windows machine (default: a fresh temporary one)", root);
  p.Text("--answers", "FILE", "an INI file whose [Answers] section says what to press (runs headless)", answersFile);
  p.Text("--ui", "UI", "terminal (the default on a terminal without --answers) or headless", uiName);
  p.Flag("-q,--quiet", "no progress on the terminal", quiet);
  p.Positional("PACKAGE", "the package folder (default: the current folder)", package, false);
  p.Epilog(
      "Exit status: 0 installed; 1 the setup could not start; 2 cancelled or declined before the\n"
      "installation run; 3 preparation failed or was aborted; 4 the installation run stopped on an\n"
      "error; 128 + N stopped by signal N.\n"
      "On the terminal: Tab and Shift+Tab move between controls, arrows and Space act in them,\n"
      "Enter presses the focused or default button, Esc the cancel button (in the preparing\n"
      "window: the question whether to abort), Alt+letter or the letter alone the underlined\n"
      "accelerator, PgUp and PgDn scroll the licence. Ctrl+C stops the setup and cleans up.");
  if (!p.Parse(args)) return kExitOk;

  TSetupAnswers answers;
  try {
    if (!answersFile.empty()) answers = ReadSetupAnswers(plat::FromHostPath(answersFile));
    Args machine;
    if (!root.empty()) machine = {"--root", root};
    SetUpMachine(machine);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tovin setup: %s\n", Printable(DisplayMessage(e.what())).c_str());
    return kSetupCouldNotStart;
  }
  std::string dir = plat::FromHostPath(package);
  uint32_t a = plat::GetFileAttributes(dir);
  if (a == plat::kInvalidAttributes || !(a & plat::kAttrDirectory) || !plat::SetCurrentDirectory(dir)) {
    std::fprintf(stderr, "tovin setup: no package folder at %s\n", package.c_str());
    return kSetupCouldNotStart;
  }

  std::unique_ptr<ui::TBackend> screen = MakeSetupScreen(uiName, !answersFile.empty());
  ui::THeadlessBackend headless;
  ProgressBackend backend(headless, quiet);
  ui::TApplication app(screen ? *screen : static_cast<ui::TBackend&>(backend));
  std::unique_ptr<TUnattendedDriver> driver;
  struct Launch {
    std::string file, directory;
    intptr_t result;
  };
  std::vector<Launch> launches;
  SetShellObserver([&](const std::string& file, const std::string& directory, intptr_t result) {
    launches.push_back({file, directory, result});
  });
  TSetupOutcome outcome = RunSetupProgram(app, [&](const TSetupWindows& windows) {
    if (screen) return;  // a person answers
    driver = std::make_unique<TUnattendedDriver>(answers, windows);
    headless.OnIdle = [&](ui::TForm& form) { return driver->OnIdle(form); };
    headless.Script = [&](const ui::TMessageRequest& r) { return driver->Answer(r); };
  });
  SetShellObserver({});
  screen.reset();  // the terminal back before anything is printed

  for (const auto& e : headless.Transcript())
    std::printf("[%s] %s -> %s%s (%s)\n", e.Caption.c_str(), Escaped(e.Text).c_str(),
                StripAccelerator(e.Button).c_str(), e.Kind == ui::mkInput ? (" \"" + Escaped(e.Value) + "\"").c_str() : "",
                SourceText(e.Source));
  for (const auto& l : launches) {
    std::string where = DisplayPath(l.directory + l.file);
    if (l.result > 32) std::printf("launched %s\n", where.c_str());
    else std::printf("could not launch %s: %s\n", where.c_str(), ShellFailure(l.result).c_str());
  }
  if (outcome.RestartRequested) std::printf("restart of Windows requested\n");
  if (driver && !driver->Problem().empty()) std::fprintf(stderr, "tovin setup: %s\n", Printable(driver->Problem()).c_str());

  if (outcome.PrepareFailed) {
    std::printf("result: the package could not be prepared\n");
    return kSetupPreparationFailed;
  }
  if (outcome.InstallationFinished) {
    std::printf("result: installed\n");
    return kSetupInstalled;
  }
  if (outcome.InstallationStarted) {
    std::printf("result: the installation run stopped on an error\n");
    return kSetupRunStopped;
  }
  std::printf("result: cancelled before anything was installed\n");
  return kSetupCancelled;
}

}  // namespace tovin::cli
