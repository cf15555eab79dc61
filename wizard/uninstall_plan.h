// What an uninstall removes, worked out from the log, the record beside it and what is on disk
// before anything is touched. The log is read as the installation run writes it, and refused
// whole when an entry could reach beyond what a setup installs: a pattern over a drive's root,
// the Windows folder or its System folder, over files outside the destination, or over more
// than a shortcut in the Start menu or on the desktop.
//
// Of the files a destination pattern ("*.*") matches, only the setup's are removed: those the
// log names, and its own (its program, install.cfg, uninstaller.exe). The rest are the user's
// (OtherFiles): removed only when the user agrees to that too. A file the record says was
// there before the setup stays, and so does, without a record, a file the log names outside
// the destination and the Start menu and desktop folders. Folders go only when empty, and
// only the destination, the log's folders and those the setup made on the way to what it
// installed; never a drive's root, the Windows folder or one of its own folders.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tovin {

inline constexpr const char* kMsgNoUninstallLog = "There is nothing to uninstall: no uninstall.cfg can be read in %s";

struct TKeptFile {
  std::string Path, Why;
};

struct TIniChange {
  std::string Section, Key;
  std::optional<std::string> Restore;  // the value the key had before the setup; none: the key goes
  bool NewSection = false;             // the setup made the section: it goes when nothing is left in it
};

struct TIniFilePlan {
  std::string File;
  bool Existed = false;  // there before the setup: it stays, whatever is left in it
  std::vector<TIniChange> Changes;
};

struct TUninstallPlan {
  std::string InstallDir, Title;
  std::vector<std::string> Refusals;    // not empty: the log is refused and nothing may be done
  std::vector<std::string> Files;       // the setup's files: those the log names, then shortcuts and its own
  std::vector<std::string> OtherFiles;  // files in the destination the setup did not install
  std::vector<TKeptFile> Kept;          // files the log names that stay, and why
  std::vector<TIniFilePlan> IniFiles;
  std::vector<std::string> RegistryKeys;  // uninstall entries naming this destination's uninstaller
  std::vector<std::string> CreatedKeys;   // registry keys the setup made: removed when empty, deepest first
  std::vector<std::string> Records;       // the log and the record: removed last
  std::vector<std::string> Folders;       // removed when empty, deepest first
  std::string Uninstaller;                // the destination's uninstaller.exe when it is one of Files

  bool Refused() const { return !Refusals.empty(); }
};

// The plan for the destination installDir (the folder holding uninstall.cfg). Raises
// EGeneralError kMsgNoUninstallLog when there is no log to read.
TUninstallPlan PlanUninstall(const std::string& installDir);

// The program an uninstall command starts: the quoted path, or without quotes the text up to
// and including its first ".exe".
std::string UninstallCommandProgram(const std::string& command);

}  // namespace tovin
