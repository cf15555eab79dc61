// tovin setup: runs the setup program on a package folder exactly as install.exe would: on the
// terminal for a person, or without one: the headless backend, the answers file pressing the
// controls, a transcript of every box on standard output.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

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
#include "tools/setup_json.h"
#include "tools/setup_screen.h"
#include "ui/forwarding_backend.h"
#include "ui/ui.h"
#ifndef _WIN32
#include "platform/posix/machine.h"
#endif

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

// Platform notices (POSIX) collected during the run: what the transcript says already (a program
// not started, a restart requested) is not said twice; what is only news (a deletion left for a
// restart) is a note, which -q silences; the rest is a failure and always said.
void SetPlatformNoticeSink(std::vector<std::string>* notes, std::vector<std::string>* failures) {
#ifndef _WIN32
  if (!notes) return plat::posix::SetNoticeSink({});
  plat::posix::SetNoticeSink([notes, failures](const std::string& text) {
    auto is = [&](const std::string& format) {
      size_t at = format.find("%s");
      std::string head = format.substr(0, at), tail = format.substr(at + 2);
      return text.size() >= head.size() + tail.size() && text.compare(0, head.size(), head) == 0 &&
             text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (is(plat::posix::kNoticeCannotStart) || is(plat::posix::kNoticeWouldExit)) return;
    (is(plat::posix::kNoticeDeleteAtRestart) ? notes : failures)->push_back(text);
  });
#else
  (void)notes, (void)failures;
#endif
}

// The transcript as established installers' /LOG writes it: to a file of the host, whole.
bool WriteLog(const std::string& path, const TUnattendedRun& run, const std::vector<std::string>& notes,
              const std::vector<std::string>& failures) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) return false;
  std::vector<std::string> lines = RunLog(run);
  for (const auto& n : notes) lines.insert(lines.end() - 1, "note: " + n);
  for (const auto& f : failures) lines.insert(lines.end() - 1, "error: " + f);
  for (const std::string& line : lines) std::fprintf(file, "%s\n", line.c_str());
  return std::fclose(file) == 0;
}

}  // namespace

int SetupCommand(const Args& args, const Globals& globals) {
  std::string root, answersFile, uiName, logFile, package = ".";
  bool quiet = globals.quiet, launch = false, json = false, strict = false;
  OptionParser p("setup",
                 "[--root R] [--answers FILE] [--ui terminal|headless] [--launch] [--log FILE] [--json] [--strict] [-q] "
                 "[PACKAGE]",
                 "Runs the setup program of a package folder, as install.exe would, on the emulated\n"
                 "machine: on the terminal, where a person makes every choice with the keyboard, or\n"
                 "unattended, printing every window, page, button pressed and message box, and why.");
  p.Text("--root", "R", "the emulated machine's folder: new, empty or a machine (default: a fresh one)", root);
  p.Text("--answers", "FILE", "an INI file whose [Answers] section says what to press (runs headless)", answersFile);
  p.Text("--ui", "UI", "terminal (the default on a terminal without --answers) or headless", uiName);
  p.Flag("--launch", "start the program the setup launches at the end, if it is on the emulated drives", launch);
  p.Text("--log", "FILE", "write the transcript, with notes and errors, to FILE as well (unattended)", logFile);
  p.Flag("--json", "print the result and the transcript as one JSON document instead (unattended)", json);
  p.Flag("--strict", "an answer that finds nothing to press cancels the run", strict);
  p.Flag("-q,--quiet", "no progress on the terminal, no notes", quiet);
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
  if ((json || !logFile.empty()) && uiName == "terminal")
    throw UsageError("--json and --log record an unattended run; --ui terminal is a person's");
  // Named from where tovin was started, whatever folder the setup runs in.
  if (!logFile.empty()) logFile = std::filesystem::absolute(logFile).string();

  auto fail = [&](const std::string& message) {
    std::fprintf(stderr, "tovin setup: %s\n", Printable(message).c_str());
    if (json) std::printf("%s\n", SetupFailureJson(kSetupCouldNotStart, message).c_str());
    return kSetupCouldNotStart;
  };
  // A configuration that cannot be read whole (a fifo, a device, an endless file) is refused,
  // named as the user gave it, before anything is read or made.
  auto refusal = [](const std::string& named, const std::string& path) {
    std::string why = ini::ProfileFileProblem(path);
    return why.empty() ? why : named + " " + why + "; refused";
  };
  TSetupAnswers answers;
  std::string dir = plat::FromHostPath(package);
  try {
    if (!answersFile.empty()) {
      if (auto why = refusal("answers file " + answersFile, plat::FromHostPath(answersFile)); !why.empty()) return fail(why);
      answers = ReadSetupAnswers(plat::FromHostPath(answersFile));
    }
    // The package is checked before a machine is made for it.
    uint32_t a = plat::GetFileAttributes(dir);
    if (a == plat::kInvalidAttributes || !(a & plat::kAttrDirectory)) return fail("no package folder at " + package);
    if (auto why = refusal(package + "/install.cfg", dir + "\\install.cfg"); !why.empty()) return fail(why);
    Args machine;
    if (!root.empty()) machine = {"--root", root};
    SetUpMachine(machine, quiet || json);
    plat::LockMachine();
  } catch (const std::exception& e) {
    return fail(DisplayMessage(e.what()));
  }
  if (!plat::SetCurrentDirectory(dir)) return fail("no package folder at " + package);
  plat::SetSandbox(true, launch);

  std::unique_ptr<ui::TBackend> screen = MakeSetupScreen(uiName, !answersFile.empty() || json || !logFile.empty());
  ui::THeadlessBackend headless;
  ProgressDisplay display(quiet || json);
  ProgressBackend backend(headless, display);
  std::vector<std::string> notes, failures;
  if (!screen) SetPlatformNoticeSink(&notes, &failures);
  TUnattendedRun run = RunUnattendedSetup(
      answers, screen ? nullptr : &headless, screen ? *screen : static_cast<ui::TBackend&>(backend), DisplayPath,
      [&](const TSetupWindows& windows) {
        if (!screen) windows.Main.SetProgressObserver(&display);
      },
      {launch, strict});
  if (!screen) SetPlatformNoticeSink(nullptr, nullptr);
  screen.reset();  // the terminal back before anything is printed

  // A temporary machine is gone when tovin ends: there is nothing to uninstall from then.
  bool uninstallable = (run.ExitStatus == kSetupInstalled || run.ExitStatus == kSetupInstalledWithErrors) &&
                       (!root.empty() || !plat::IsEmulated());
  std::string uninstall = uninstallable ? UninstallCommandLine(root, run.Outcome.InstallDir) : "";
  if (json) {
    std::printf("%s\n", SetupRunJson(run, uninstall).c_str());
  } else {
    for (const std::string& line : run.Report) std::printf("%s\n", Printable(line).c_str());
    if (!uninstall.empty()) std::printf("to uninstall: %s\n", uninstall.c_str());
  }
  if (!quiet) {
    for (const std::string& n : notes) std::fprintf(stderr, "tovin: %s\n", Printable(n).c_str());
    for (const std::string& n : run.Notices) std::fprintf(stderr, "tovin setup: note: %s\n", Printable(n).c_str());
  }
  for (const std::string& f : failures) std::fprintf(stderr, "tovin: %s\n", Printable(f).c_str());
  for (const std::string& e : run.Errors) std::fprintf(stderr, "tovin setup: %s\n", Printable(e).c_str());
  if (!run.Problem.empty()) std::fprintf(stderr, "tovin setup: %s\n", Printable(run.Problem).c_str());
  if (!logFile.empty() && !WriteLog(logFile, run, notes, failures))
    std::fprintf(stderr, "tovin setup: cannot write the log %s: %s\n", Printable(logFile).c_str(), std::strerror(errno));
  return run.ExitStatus;
}

}  // namespace tovin::cli
