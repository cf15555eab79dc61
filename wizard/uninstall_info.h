// What an installation leaves for the uninstaller: the log uninstall.cfg in the destination,
// the application's INI entries, and the uninstall entry in the registry.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/exception.h"

namespace tovin {

TOVIN_EXCEPTION(EUnableToWrite);  // "Unable to write to %s"
TOVIN_EXCEPTION(ERegistryError);  // "Failed to create key %s"

inline constexpr const char* kMsgUnableToWrite = "Unable to write to %s";
inline constexpr const char* kMsgFailedToCreateKey = "Failed to create key %s";
inline constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\currentversion\\uninstall\\";

// The uninstall log. Every entry reaches the file at once; a failed write raises
// EUnableToWrite with the log's path.
class TUninstallLog {
 public:
  // Starts the "UNINS" and "Folders" sections afresh (other content of an existing log stays)
  // and writes the opening entries: the title and the two destination patterns.
  void Open(const std::string& installDirPath, const std::string& title);
  bool IsOpen() const { return !file_.empty(); }
  void Add(const std::string& section, const std::string& path);
  void Close() { file_.clear(); }
  const std::string& File() const { return file_; }

 private:
  void Write(const std::string& section, const std::string& key, const std::string& value);
  std::string file_;
};

// Writes identifier = directory + "\" + relative path for every IniSetupList entry whose key
// names one of the directories, directory by directory in keys order; onEntry runs for each
// entry written. A failed write raises EUnableToWrite with iniFile.
void WriteIniEntries(const std::vector<std::string>& keys, const std::vector<std::string>& paths,
                     const std::vector<std::string>& iniSetupList, const std::string& iniFile,
                     const std::function<void()>& onEntry);

// "DisplayName" and "UninstallString" under the uninstall key named after the title. The
// program path is quoted, so Windows cannot take a path with blanks for a shorter one.
void WriteUninstallRegistry(const std::string& title, const std::string& installDirPath);

}  // namespace tovin
