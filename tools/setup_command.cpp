// tovin setup: runs the setup program on a package folder exactly as install.exe would: on the
// terminal for a person, or without one: the headless backend, the answers file pressing the
// controls, a transcript of every box on standard output.
#include <cstdio>

#include "app/main_setup.h"
#include "app/setup_answers.h"
#include "app/unattended_setup.h"
#include "common/system_routines.h"
#include "platform/ini_document.h"
#include "platform/platform.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"
#include "tools/host_paths.h"
#include "tools/interruption.h"
#include "tools/progress.h"
#include "tools/setup_screen.h"
#include "ui/forwarding_backend.h"
#include "ui/ui.h"

namespace tovin::cli {
namespace {

// The setup's progress on the terminal, as its windows report it.
class ProgressDisplay final : public TProgressObserver {
 public:
  explicit ProgressDisplay(bool quiet) : progress_(quiet) {}
  void Preparing(const std::string& item, int position, int max) override { Show("preparing ", item, position, max); }
  void Installing(const std::string& item, int position, int max) override {
    Show("installing ", item, position, max);
  }
  void Finished() override { Clear(); }
  void Clear() { progress_.Done(); }

 private:
  void Show(const char* phase, const std::string& item, int position, int max) {
    progress_.SetTotal(static_cast<uint64_t>(std::max(max, 0)));
    progress_.ShowCount(phase + item, static_cast<uint64_t>(std::max(position, 0)));
  }
  Progress progress_;
};

// The headless backend, with a stop asked for taking effect in the setup's pauses and the
// progress line out of the way of the boxes.
class ProgressBackend final : public ui::TForwardingBackend {
 public:
  ProgressBackend(ui::THeadlessBackend& inner, ProgressDisplay& display) : TForwardingBackend(inner), display_(display) {}
  // The setup pauses here between blocks and files: a stop asked for unwinds it from here.
  void ProcessMessages(ui::TApplication& app) override {
    StopIfInterrupted();
    Inner().ProcessMessages(app);
  }
  ui::TMessageAnswer Ask(const ui::TMessageRequest& request) override {
    display_.Clear();
    return Inner().Ask(request);
  }

 private:
  ProgressDisplay& display_;
};

// The tovin uninstall command for a finished run, quoted for the shell.
std::string UninstallCommandLine(const std::string& root, const std::string& installDir) {
  auto quote = [](const std::string& text) {
    if (!plat::IsEmulated()) return "\"" + text + "\"";
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return Printable(quoted + "'");
  };
  return "tovin uninstall" + (root.empty() ? std::string() : " --root " + quote(root)) + " " + quote(installDir);
}

}  // namespace

int SetupCommand(const Args& args, const Globals& globals) {
  std::string root, answersFile, uiName, package = ".";
  bool quiet = globals.quiet, launch = false;
  OptionParser p("setup", "[--root R] [--answers FILE] [--ui terminal|headless] [--launch] [-q] [PACKAGE]",
                 "Runs the setup program of a package folder, as install.exe would, on the emulated\n"
                 "machine: on the terminal, where a person makes every choice with the keyboard, or\n"
                 "unattended, printing every message box and its answer.");
  p.Text("--root", "R", "the emulated machine's folder: new, empty or a machine (default: a fresh one)", root);
  p.Text("--answers", "FILE", "an INI file whose [Answers] section says what to press (runs headless)", answersFile);
  p.Text("--ui", "UI", "terminal (the default on a terminal without --answers) or headless", uiName);
  p.Flag("--launch", "start the program the setup launches at the end, if it is on the emulated drives", launch);
  p.Flag("-q,--quiet", "no progress on the terminal", quiet);
  p.Positional("PACKAGE", "the package folder (default: the current folder)", package, false);
  p.Epilog(
      "A package is input from someone else: the setup writes only to the emulated machine's drives\n"
      "(the host, Z:, is a write-protected disk to it), starts nothing without --launch, and holds\n"
      "the machine (R/machine.lock) while it runs; a second setup into the same machine is refused.\n"
      "--launch runs that program as a host program, with your rights; without it nothing is started\n"
      "and the output says what would have been.\n"
      "On the terminal: Tab and Shift+Tab move between controls, arrows and Space act in them,\n"
      "Enter presses the focused or default button, Esc the cancel button (in the preparing\n"
      "window: the question whether to abort), Alt+letter or the letter alone the underlined\n"
      "accelerator, PgUp and PgDn scroll the licence. Ctrl+C stops the setup and cleans up.\n" +
      std::string("Exit status: ") + kSetupExitStatusHelp + "; 128 + N stopped by signal N.");
  if (!p.Parse(args)) return kExitOk;

  // A configuration that cannot be read whole (a fifo, a device, an endless file) is refused,
  // named as the user gave it, before anything is read or made.
  auto refused = [](const std::string& named, const std::string& path) {
    std::string why = ini::ProfileFileProblem(path);
    if (!why.empty()) std::fprintf(stderr, "tovin setup: %s %s; refused\n", Printable(named).c_str(), why.c_str());
    return !why.empty();
  };
  TSetupAnswers answers;
  std::string dir = plat::FromHostPath(package);
  try {
    if (!answersFile.empty()) {
      if (refused("answers file " + answersFile, plat::FromHostPath(answersFile))) return kSetupCouldNotStart;
      answers = ReadSetupAnswers(plat::FromHostPath(answersFile));
    }
    // The package is checked before a machine is made for it.
    uint32_t a = plat::GetFileAttributes(dir);
    if (a == plat::kInvalidAttributes || !(a & plat::kAttrDirectory)) {
      std::fprintf(stderr, "tovin setup: no package folder at %s\n", Printable(package).c_str());
      return kSetupCouldNotStart;
    }
    if (refused(package + "/install.cfg", dir + "\\install.cfg")) return kSetupCouldNotStart;
    Args machine;
    if (!root.empty()) machine = {"--root", root};
    SetUpMachine(machine);
    plat::LockMachine();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tovin setup: %s\n", Printable(DisplayMessage(e.what())).c_str());
    return kSetupCouldNotStart;
  }
  if (!plat::SetCurrentDirectory(dir)) {
    std::fprintf(stderr, "tovin setup: no package folder at %s\n", Printable(package).c_str());
    return kSetupCouldNotStart;
  }
  plat::SetSandbox(true, launch);

  std::unique_ptr<ui::TBackend> screen = MakeSetupScreen(uiName, !answersFile.empty());
  ui::THeadlessBackend headless;
  ProgressDisplay display(quiet);
  ProgressBackend backend(headless, display);
  TUnattendedRun run = RunUnattendedSetup(
      answers, screen ? nullptr : &headless, screen ? *screen : static_cast<ui::TBackend&>(backend), DisplayPath,
      [&](const TSetupWindows& windows) {
        if (!screen) windows.Main.SetProgressObserver(&display);
      },
      launch);
  screen.reset();  // the terminal back before anything is printed
  for (const std::string& line : run.Report) std::printf("%s\n", Printable(line).c_str());
  // A temporary machine is gone when tovin ends: there is nothing to uninstall from then.
  if (run.ExitStatus == kSetupInstalled && (!root.empty() || !plat::IsEmulated()))
    std::printf("to uninstall: %s\n", UninstallCommandLine(root, run.Outcome.InstallDir).c_str());
  if (!run.Problem.empty()) std::fprintf(stderr, "tovin setup: %s\n", Printable(run.Problem).c_str());
  return run.ExitStatus;
}

}  // namespace tovin::cli
