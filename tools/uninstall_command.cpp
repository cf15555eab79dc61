// tovin uninstall: removes what a setup installed, as the uninstaller.exe it registered would,
// from the emulated machine (on Windows, from this one): reads the uninstall.cfg of the
// destination, shows what goes and what stays, asks once, then reports every item.
#include <algorithm>
#include <cstdio>
#include <iostream>

#include "platform/platform.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"
#include "tools/host_paths.h"
#include "tools/interruption.h"
#include "wizard/uninstall_info.h"
#include "wizard/uninstall_log_reader.h"
#include "wizard/uninstall_plan.h"
#include "wizard/uninstall_run.h"

namespace tovin::cli {
namespace {

constexpr int kUninstallDeclined = 3;

bool IsWindowsPath(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         (path[2] == '\\' || path[2] == '/');
}

// INSTALLDIR as the machine names it: a Windows path as given; a host path inside one of the
// machine's drive folders as that drive's path (the log names C:\..., never Z:\...\drive_c\...).
std::string MachinePath(const std::string& given) {
  if (IsWindowsPath(given)) return plat::GetFullPathName(given);
  std::string host = plat::FromHostPath(given);
  for (char letter = 'C'; letter < 'Z'; ++letter) {
    std::string drive = std::string(1, letter) + ":\\";
    if (plat::GetFileAttributes(drive) == plat::kInvalidAttributes) continue;
    std::string top = plat::FromHostPath(plat::ToHostPath(drive));
    while (top.size() > 3 && top.back() == '\\') top.pop_back();
    if (PathIsBelowOrSame(host, top)) return drive + host.substr(std::min(host.size(), top.size() + 1));
  }
  return host;
}

// A yes or no on the terminal; no unless the answer says yes.
bool AskYesNo(const std::string& question) {
  std::fprintf(stderr, "%s [y/N] ", question.c_str());
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    StopIfInterrupted();  // Ctrl+C at the prompt
    std::fprintf(stderr, "\n");
    return false;
  }
  std::transform(answer.begin(), answer.end(), answer.begin(), [](unsigned char c) { return std::tolower(c); });
  return answer == "y" || answer == "yes";
}

std::string Show(const std::string& path) { return Printable(DisplayPath(path)); }

void Print(const TUninstallReport& report, bool dryRun, bool quiet) {
  for (const auto& step : report.Steps) {
    if (quiet && step.Result != urFailed) continue;
    std::string line = Printable(DescribeStep(step, dryRun, [](const std::string& p) { return DisplayPath(p); }));
    std::fprintf(step.Result == urFailed ? stderr : stdout, "%s\n", line.c_str());
  }
}

}  // namespace

int UninstallCommand(const Args& args, const Globals& globals) {
  std::string root, installDir;
  bool dryRun = false, yes = false, quiet = globals.quiet;
  OptionParser p("uninstall", "[--root R] [--dry-run] [-y] [-q] INSTALLDIR",
                 "Removes what a setup installed into INSTALLDIR, as the uninstaller.exe it registered would:\n"
                 "the files and shortcuts its uninstall.cfg names, its INI entries, its uninstall entry in the\n"
                 "registry and the folders it made. Files it did not install are kept unless you agree.");
  p.Text("--root", "R", "the folder of the emulated Windows machine the setup installed into", root);
  p.Flag("--dry-run", "change nothing: print what would be removed and what kept", dryRun);
  p.Flag("-y,--yes", "remove without asking (files the setup did not install are then kept)", yes);
  p.Flag("-q,--quiet", "print only what could not be removed", quiet);
  p.Positional("INSTALLDIR",
               "the destination: a Windows path of the machine (\"C:\\Program Files\\App\") or the host's path of that folder",
               installDir, true);
  p.Epilog(
      "Exit status: 0 removed (with --dry-run: nothing refused); 1 no uninstall.cfg, a refused log, or\n"
      "something that could not be removed; 2 wrong command line, or no terminal to ask and no -y;\n"
      "3 declined, nothing removed.");
  if (!p.Parse(args)) return kExitOk;
  if (plat::IsEmulated() && root.empty()) throw UsageError("--root R is needed: the machine the setup installed into");
  Args machine;
  if (!root.empty()) machine = {"--root", root};
  SetUpMachine(machine);

  TUninstallPlan plan = PlanUninstall(MachinePath(installDir));
  std::string log = plan.InstallDir + "\\" + kUninstallLogName;
  if (plan.Refused()) {
    std::fprintf(stderr, "tovin uninstall: %s is refused, nothing was removed:\n", Show(log).c_str());
    for (const auto& why : plan.Refusals) std::fprintf(stderr, "  %s\n", Printable(why).c_str());
    return kExitFailure;
  }
  std::string title = "\"" + Printable(plan.Title) + "\"";
  if (!dryRun && !yes && !plat::IsTerminal(0)) {
    std::fprintf(stderr, "tovin uninstall: no terminal to ask whether to remove %s; -y removes it without asking\n",
                 title.c_str());
    return kExitUsage;
  }
  if (!quiet) std::printf("uninstall of %s from %s\n", title.c_str(), Show(plan.InstallDir).c_str());
  if (dryRun) {
    Print(RunUninstall(plan, {false, true, {}}), true, quiet);
    if (!quiet) std::printf("result: nothing was changed (dry run)\n");
    return kExitOk;
  }

  bool removeOthers = false;
  if (!yes) {
    Print(RunUninstall(plan, {false, true, {}}), true, false);
    if (!AskYesNo("Remove " + title + " from this machine?")) {
      std::printf("result: declined, nothing was removed\n");
      return kUninstallDeclined;
    }
    if (!plan.OtherFiles.empty()) {
      std::fprintf(stderr, "%s holds %zu file(s) the setup did not install:\n", Show(plan.InstallDir).c_str(),
                   plan.OtherFiles.size());
      for (const auto& file : plan.OtherFiles) std::fprintf(stderr, "  %s\n", Show(file).c_str());
      removeOthers = AskYesNo("Remove these files too?");
    }
  }
  // A stop asked for takes effect between items; the log goes last, so running again finishes.
  TUninstallReport report =
      RunUninstall(plan, {removeOthers, false, {}}, [](const std::string&, int, int) { StopIfInterrupted(); });
  Print(report, false, quiet);
  if (!report.Complete) {
    std::printf("result: uninstalled, except what could not be removed\n");
    return kExitFailure;
  }
  if (!quiet) std::printf("result: uninstalled\n");
  return kExitOk;
}

}  // namespace tovin::cli
