// Which paths the uninstall log can hold. Its keys are what an uninstaller deletes, so each
// must read back as itself and mean the file, pattern or folder the run made, nothing above it.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tovin {

// One plain name: not empty, not "." or "..", without a separator, colon or wildcard.
bool IsPlainName(const std::string& name);

// The full path of base + "\" + relative, "." and ".." resolved and doubled separators
// dropped, without a trailing backslash; nullopt when relative climbs above base. An empty
// relative gives base itself.
std::optional<std::string> PathBelow(const std::string& base, const std::string& relative);

// Whether key reads back from the log as itself: no "=" (the key would end there), no control
// character, no blank at either end (the reader drops them), and no "[" or ";" in front (a
// section or a comment).
bool LogCanHold(const std::string& key);

// The key of a packaged file installed into dir; nullopt when the file is refused: a name that
// is no plain name or that the log cannot hold, or dir not a folder (a file of someone else's
// standing where the folder should be is never written through).
std::optional<std::string> FileLogKey(const std::string& dir, const std::string& name);

// The key of the INI file the profile calls write (a bare name lies in the Windows directory);
// nullopt when the log cannot hold it.
std::optional<std::string> IniFileLogKey(const std::string& windowsDir, const std::string& iniFile);

// Where one shortcut goes, as the shortcut component's flags say.
struct ShortcutPlaces {
  bool FolderDesktop = false, Desktop = false, StartMenu = false, FolderStartMenu = false;
};
struct LogEntry {
  std::string Section, Key;
};
// The entries of one shortcut named name in the folder below the shell folders, in the order
// they are written; nullopt when name is no plain name, the folder climbs out of a shell
// folder, or the log cannot hold a path. A folder that is the shell folder itself (an empty
// one) is no folder to remove.
std::optional<std::vector<LogEntry>> ShortcutLogEntries(const std::string& windowsDir, const ShortcutPlaces& places,
                                                         const std::string& folder, const std::string& name);

}  // namespace tovin
