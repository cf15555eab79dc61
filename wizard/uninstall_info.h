// What an installation leaves for the uninstaller: the log uninstall.cfg in the destination,
// the application's INI entries, and the uninstall entry in the registry.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/exception.h"
#include "platform/ini_document.h"

namespace tovin {

TOVIN_EXCEPTION(EUnableToWrite);  // "Unable to write to %s"
TOVIN_EXCEPTION(ERegistryError);  // "Failed to create key %s"

inline constexpr const char* kMsgUnableToWrite = "Unable to write to %s";
inline constexpr const char* kMsgFailedToCreateKey = "Failed to create key %s";
inline constexpr const char* kUninstallerName = "uninstaller.exe";
inline constexpr const char* kUninstallLogName = "uninstall.cfg";
inline constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\currentversion\\uninstall\\";

// The uninstall log. It is kept in memory during a run and reaches the file whenever Save is
// called, the file being replaced as a whole (a crash leaves the old log or the new one). The
// entries of an earlier installation into the same folder stay in it until Close, which drops
// those that name nothing on disk any more: a run that dies never leaves a file on disk that
// the log has stopped naming. Callers save before they put on disk what they have logged. A
// failed write raises EUnableToWrite with the log's path.
class TUninstallLog {
 public:
  // Reads what an earlier installation left in the log (its other sections and keys stay),
  // sets the title, adds the two destination patterns and saves.
  void Open(const std::string& installDirPath, const std::string& title);
  bool IsOpen() const { return !file_.empty(); }
  // A key of the section, its value empty; a key already there (in any letter case) stays
  // where it is.
  void Add(const std::string& section, const std::string& path);
  void Save();
  // Whether the log of an earlier installation into this folder named key in section.
  bool NamedEarlier(const std::string& section, const std::string& key) const;
  // Drops the earlier installation's entries that this run did not name again and that name
  // nothing on disk, saves and releases the file.
  void Close();
  const std::string& File() const { return file_; }

 private:
  struct Section {
    std::string name;
    std::vector<std::string> added, earlier;  // this run's keys and the earlier installation's, in order
    std::unordered_set<std::string> addedKeys, earlierKeys;  // upper-cased
  };
  Section& SectionNamed(const std::string& name);
  std::string Text() const;

  std::string file_;
  ini::Document rest_;  // the file without its entry sections
  std::vector<Section> sections_;
  std::optional<std::string> saved_;  // what the file holds
};

struct IniEntry {
  std::string Section, Identifier, Value;
};
// identifier = directory + "\" + relative path for every IniSetupList entry whose key names one
// of the directories, directory by directory in keys order.
std::vector<IniEntry> IniEntriesToWrite(const std::vector<std::string>& keys, const std::vector<std::string>& paths,
                                        const std::vector<std::string>& iniSetupList);

// Writes the entries of IniEntriesToWrite in order; onEntry runs for each entry written. A
// failed write raises EUnableToWrite with iniFile.
void WriteIniEntries(const std::vector<std::string>& keys, const std::vector<std::string>& paths,
                     const std::vector<std::string>& iniSetupList, const std::string& iniFile,
                     const std::function<void()>& onEntry);

// "DisplayName" and "UninstallString" under the uninstall key named after the title. The
// program path is quoted, so Windows cannot take a path with blanks for a shorter one.
void WriteUninstallRegistry(const std::string& title, const std::string& installDirPath);

}  // namespace tovin
