// Carrying out an uninstall plan. Every item gets a step saying what became of it; a file that
// cannot be deleted is reported and the rest goes on. The uninstaller, the log, its record and
// the registry entry go last, and only when everything else went: otherwise they stay, so that
// the uninstall can be run again once the file is free. A dry run changes nothing and reports
// what a real run would do on the machine as it is.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "wizard/uninstall_plan.h"

namespace tovin {

enum TUninstallItemKind { ikFile, ikOtherFile, ikIniEntry, ikIniFile, ikRegistryKey, ikFolder };
enum TUninstallResult { urRemoved, urRestored, urKept, urFailed, urAtRestart };

struct TUninstallStep {
  TUninstallItemKind Kind;
  std::string Item;    // a path; a registry key below HKEY_LOCAL_MACHINE; for an INI entry its file
  std::string Detail;  // an INI entry: "[Section] Key"
  TUninstallResult Result;
  std::string Why;     // kept or failed: why
};

struct TUninstallOptions {
  bool RemoveOtherFiles = false;  // the user agreed to remove the files the setup did not install
  bool DryRun = false;
  // The running uninstaller's own file: Windows cannot delete it while it runs, so it is
  // deleted at the next restart, with the folders that hold nothing else.
  std::string RunningProgram;
};

struct TUninstallReport {
  std::vector<TUninstallStep> Steps;
  bool Complete = true;  // nothing failed
};

// Called before each item: its name, the position (from 1) and the number of items.
using TUninstallProgress = std::function<void(const std::string& item, int position, int total)>;

// The plan must not be refused.
TUninstallReport RunUninstall(const TUninstallPlan& plan, const TUninstallOptions& options,
                              const TUninstallProgress& progress = {});

// One line for a step: "removed C:\App\app.exe", "kept C:\WINDOWS\win.ini: it was there before
// the setup"; paths pass through showPath (the host's form in tovin), registry keys are shown
// below HKEY_LOCAL_MACHINE.
std::string DescribeStep(const TUninstallStep& step, bool dryRun,
                         const std::function<std::string(const std::string&)>& showPath);

}  // namespace tovin
