#include "wizard/uninstall_recorder.h"

#include "platform/ini_document.h"
#include "platform/platform.h"
#include "platform/registry_file.h"

namespace tovin {
namespace {

bool Exists(const std::string& path) { return plat::GetFileAttributes(path) != plat::kInvalidAttributes; }

}  // namespace

std::vector<std::string> MissingFolderLevels(const std::string& folder) {
  std::vector<std::string> levels;
  std::string path = plat::GetFullPathName(folder);
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  while (path.size() > 3 && !Exists(path)) {
    levels.insert(levels.begin(), path);
    path = path.substr(0, path.find_last_of('\\'));
    if (path.size() == 2 && path[1] == ':') break;  // the drive itself is never made
  }
  return levels;
}

void TUninstallRecorder::Open(const std::string& installDir, const std::vector<std::string>& foldersToMake) {
  dir_ = installDir;
  record_ = ReadUninstallRecord(installDir).value_or(TUninstallRecord{});
  saved_.reset();
  for (const auto& folder : foldersToMake) AddOnce(record_.CreatedFolders, folder);
  Save();
}

void TUninstallRecorder::NoteFoldersToMake(const std::string& folder) {
  for (const auto& level : MissingFolderLevels(folder)) AddOnce(record_.CreatedFolders, level);
}

void TUninstallRecorder::NoteFile(const std::string& path, bool earlier) {
  if (!earlier && !record_.IsSetupFile(path) && Exists(path)) AddOnce(record_.FoundFiles, path);
}

void TUninstallRecorder::NoteSetupFile(const std::string& path) { AddOnce(record_.SetupFiles, path); }

void TUninstallRecorder::NoteIniFile(const std::string& file, bool earlier) {
  if (!record_.IniFile(file)) record_.IniFiles.push_back({file, !earlier && Exists(file)});
}

void TUninstallRecorder::NoteIniEntries(const std::string& file, const std::vector<IniEntry>& entries, bool earlier) {
  // What an earlier installation of this product wrote there is the product's own.
  ini::Document before(earlier ? std::string() : ini::ReadWhole(file).value_or(""));
  auto sections = before.Sections();
  for (const auto& e : entries) {
    if (record_.IniEntry(file, e.Section, e.Identifier)) continue;
    bool newSection = true;
    for (const auto& s : sections) newSection = newSection && !ini::EqualNoCase(s, e.Section);
    record_.IniEntries.push_back({file, e.Section, e.Identifier, before.Value(e.Section, e.Identifier), newSection});
  }
}

void TUninstallRecorder::NoteRegistryKey(const std::string& key) {
  std::string path;
  for (const auto& part : reg::SplitKeyPath(key)) {
    path += (path.empty() ? "" : "\\") + part;
    if (!plat::RegQueryKeyCounts(plat::RegRoot::LocalMachine, path)) AddOnce(record_.CreatedKeys, path);
  }
  AddOnce(record_.RegistryKeys, key);
}

void TUninstallRecorder::Save() {
  std::string text = record_.Text();
  if (saved_ && *saved_ == text) return;
  SaveUninstallRecord(dir_, record_);
  saved_ = std::move(text);
}

}  // namespace tovin
