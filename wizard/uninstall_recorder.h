// What the installation run notes in its record (uninstall.dat) before it changes the machine:
// what was there already and what it makes. An earlier installation into the same folder left
// its own record: what it found stays found and what it made stays its own, so a second
// installation never takes the first one's files for something it found.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "wizard/uninstall_info.h"
#include "wizard/uninstall_record.h"

namespace tovin {

// The levels of folder that are not there yet, parents first; none from a file in the way on.
std::vector<std::string> MissingFolderLevels(const std::string& folder);

class TUninstallRecorder {
 public:
  // Starts from the record an earlier installation left in installDir, if any, notes the
  // folders the run is about to make (MissingFolderLevels, taken before it made any) and saves.
  void Open(const std::string& installDir, const std::vector<std::string>& foldersToMake);
  bool IsOpen() const { return !dir_.empty(); }

  // Each level of folder that is not there yet, parents first.
  void NoteFoldersToMake(const std::string& folder);
  // A file the log names, before the run writes it. earlier: an earlier installation into this
  // folder named it, so what is there is that installation's.
  void NoteFile(const std::string& path, bool earlier);
  // One of the setup's own files in the destination.
  void NoteSetupFile(const std::string& path);
  // The INI file (its full path) and the entries about to be written to it.
  void NoteIniFile(const std::string& file, bool earlier);
  void NoteIniEntries(const std::string& file, const std::vector<IniEntry>& entries, bool earlier);
  // The uninstall entry about to be written, and each key above it that is not there yet.
  void NoteRegistryKey(const std::string& key);

  // Replaces the file when it changed; raises EUnableToWrite.
  void Save();
  const TUninstallRecord& Record() const { return record_; }

 private:
  std::string dir_;
  TUninstallRecord record_;
  std::optional<std::string> saved_;
};

}  // namespace tovin
