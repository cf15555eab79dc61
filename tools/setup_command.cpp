// tovin setup: runs the setup program on a package folder exactly as install.exe would, without
// a person: the headless backend, the answers file pressing the controls, a transcript of every
// box on standard output.
#include <cstdio>

#include "app/unattended_setup.h"
#include "platform/platform.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"
#include "tools/host_paths.h"
#include "tools/interruption.h"
#include "tools/progress.h"
#include "ui/forwarding_backend.h"
#include "ui/ui.h"

namespace tovin::cli {
namespace {

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
  std::string root, answersFile, package = ".";
  bool quiet = globals.quiet;
  OptionParser p("setup", "[--root R] [--answers FILE] [-q] [PACKAGE]",
                 "Runs the setup program of a package folder unattended, as install.exe would, on the\n"
                 "emulated machine; prints every message box and its answer.");
  p.Text("--root", "R", "the folder of the emulated Windows machine (default: a fresh temporary one)", root);
  p.Text("--answers", "FILE", "an INI file whose [Answers] section says what to press", answersFile);
  p.Flag("-q,--quiet", "no progress on the terminal", quiet);
  p.Positional("PACKAGE", "the package folder (default: the current folder)", package, false);
  p.Epilog(std::string("Exit status: ") + kSetupExitStatusHelp + "; 128 + N stopped by signal N.");
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

  ui::THeadlessBackend headless;
  ProgressBackend backend(headless, quiet);
  TUnattendedRun run = RunUnattendedSetup(answers, headless, backend, DisplayPath);
  for (const std::string& line : run.Report) std::printf("%s\n", Printable(line).c_str());
  if (!run.Problem.empty()) std::fprintf(stderr, "tovin setup: %s\n", Printable(run.Problem).c_str());
  return run.ExitStatus;
}

}  // namespace tovin::cli
