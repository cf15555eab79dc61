// The setup's record beside the uninstall log, "uninstall.dat" in the destination: what the
// installation found on the machine and what it made besides the files the log names, so that
// an uninstall leaves the machine as it was. The log itself keeps its fixed form; a log without
// this record is uninstalled by the log alone, keeping what it cannot tell was the setup's.
//
// The file is an INI file whose values are quoted, so that any text reads back whole:
//   [Found]          File1=...     files the log names that were on disk before the setup wrote them
//   [Setup Files]    File1=...     the setup's own files in the destination (its program, its
//                                  install.cfg, uninstaller.exe), which the log names only by "*.*"
//   [Created Folders] Folder1=...  folders the setup made, parents first
//   [INI Files]      File1=, Existed1=0|1    the INI files written, and whether they were there before
//   [INI Entries]    FileN=, SectionN=, KeyN=, OldN= (absent: the setup added the key),
//                    NewSectionN=1 (the section was not there before)
//   [Registry]       Key1=...      the uninstall entries written (below HKEY_LOCAL_MACHINE)
//   [Created Keys]   Key1=...      registry keys the setup made, parents first
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovin {

inline constexpr const char* kUninstallRecordName = "uninstall.dat";

struct TIniFileRecord {
  std::string File;
  bool Existed = false;
};

struct TIniEntryRecord {
  std::string File, Section, Key;
  std::optional<std::string> Old;  // the value before the setup; none when it added the key
  bool NewSection = false;
};

struct TUninstallRecord {
  std::vector<std::string> FoundFiles, SetupFiles, CreatedFolders;
  std::vector<TIniFileRecord> IniFiles;
  std::vector<TIniEntryRecord> IniEntries;
  std::vector<std::string> RegistryKeys, CreatedKeys;

  std::string Text() const;
  static TUninstallRecord Parse(std::string_view text);

  // Queries without letter case.
  bool Found(const std::string& file) const;
  bool IsSetupFile(const std::string& file) const;
  const TIniFileRecord* IniFile(const std::string& file) const;
  const TIniEntryRecord* IniEntry(const std::string& file, const std::string& section, const std::string& key) const;
};

// Adds path to list unless it is there already (letter case aside); true when added.
bool AddOnce(std::vector<std::string>& list, const std::string& path);

std::string UninstallRecordFile(const std::string& installDir);
// nullopt when the destination holds no record (or one that cannot be read).
std::optional<TUninstallRecord> ReadUninstallRecord(const std::string& installDir);
// Replaces the record as a whole; raises EUnableToWrite with its path.
void SaveUninstallRecord(const std::string& installDir, const TUninstallRecord& record);

}  // namespace tovin
