// tovin setup: runs the setup program on a package folder exactly as install.exe would, without
// a person: the headless backend, the answers file pressing the controls, a transcript of every
// box on standard output.
#include <cstdio>

#include "app/main_setup.h"
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
#include "ui/forwarding_backend.h"
#include "ui/ui.h"

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
  std::string root, answersFile, package = ".";
  bool quiet = globals.quiet;
  OptionParser p("setup", "[--root R] [--answers FILE] [-q] [PACKAGE]",
                 "Runs the setup program of a package folder unattended, as install.exe would, on the\n"
                 "emulated machine; prints every message box and its answer.");
  p.Text("--root", "R", "the folder of the emulated Windows machine (default: a fresh temporary one)", root);
  p.Text("--answers", "FILE", "an INI file whose [Answers] section says what to press", answersFile);
  p.Flag("-q,--quiet", "no progress on the terminal", quiet);
  p.Positional("PACKAGE", "the package folder (default: the current folder)", package, false);
  p.Epilog(
      "Exit status: 0 installed; 1 the setup could not start; 2 cancelled or declined before the\n"
      "installation run; 3 preparation failed or was aborted; 4 the installation run stopped on an\n"
      "error; 128 + N stopped by signal N.");
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
  ProgressDisplay display(quiet);
  ProgressBackend backend(headless, display);
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
  TSetupOutcome outcome = RunSetupProgram(app, [&](const TSetupWindows& windows) {
    driver = std::make_unique<TUnattendedDriver>(answers, windows);
    windows.Main.SetProgressObserver(&display);
    headless.OnIdle = [&](ui::TForm& form) { return driver->OnIdle(form); };
    headless.Script = [&](const ui::TMessageRequest& r) { return driver->Answer(r); };
  });
  SetShellObserver({});

  for (const auto& e : headless.Transcript())
    std::printf("[%s] %s -> %s%s (%s)\n", e.Caption.c_str(), Escaped(e.Text).c_str(),
                StripAccelerator(e.Button).c_str(), e.Kind == ui::mkInput ? (" \"" + Escaped(e.Value) + "\"").c_str() : "",
                SourceText(e.Source));
  for (const auto& l : launches) {
    std::string where = DisplayPath(l.directory + l.file);
    if (l.result > 32) std::printf("launched %s\n", where.c_str());
    else std::printf("could not launch %s: %s\n", where.c_str(), ShellFailure(l.result).c_str());
  }
  if (outcome.RegistryEntrySkipped) std::printf("no uninstall entry registered: the setup's Header is empty\n");
  if (outcome.RestartRequested) std::printf("restart of Windows requested\n");
  if (!driver->Problem().empty()) std::fprintf(stderr, "tovin setup: %s\n", Printable(driver->Problem()).c_str());

  if (outcome.StartRefused) {
    std::printf("result: the setup refused to start\n");
    return kSetupCouldNotStart;
  }
  if (outcome.PrepareFailed) {
    std::printf("result: the package could not be prepared\n");
    return kSetupPreparationFailed;
  }
  if (outcome.InstallationFinished) {
    std::printf("result: installed\n");
    // A temporary machine is gone when tovin ends: there is nothing to uninstall from then.
    if (!root.empty() || !plat::IsEmulated())
      std::printf("to uninstall: %s\n", UninstallCommandLine(root, outcome.InstallDir).c_str());
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
