#include "wizard/uninstall_plan.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "common/system_routines.h"
#include "platform/exception.h"
#include "platform/ini_document.h"
#include "platform/platform.h"
#include "platform/registry_file.h"
#include "platform/text.h"
#include "platform/windows_names.h"
#include "wizard/uninstall_info.h"
#include "wizard/uninstall_log_reader.h"
#include "wizard/uninstall_record.h"

namespace tovin {
namespace {

// What the run copies into the destination besides the packaged files.
constexpr const char* kSetupFileNames[] = {"install.exe", "install.cfg", kUninstallerName};
// Left beside the log and the record by a save that was cut off.
constexpr const char* kSaveLeftover = ".tovin-tmp";

bool Exists(const std::string& path) { return plat::GetFileAttributes(path) != plat::kInvalidAttributes; }
bool IsFolder(const std::string& path) {
  uint32_t a = plat::GetFileAttributes(path);
  return a != plat::kInvalidAttributes && (a & plat::kAttrDirectory);
}
size_t Depth(const std::string& path) { return static_cast<size_t>(std::count(path.begin(), path.end(), '\\')); }

// The path of the object itself: links and short names resolved as far as the path exists, the
// rest appended as it is written, so that paths compare whether they exist or not.
std::string Final(const std::string& path) {
  std::string full = plat::GetFullPathName(path), tail;
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  for (std::string head = full;;) {
    if (auto found = plat::GetFinalPathName(head)) {
      std::string f = *found;
      while (f.size() > 3 && f.back() == '\\') f.pop_back();
      return f + tail;
    }
    std::string parent = ParentOf(head);
    if (parent.empty() || SamePath(parent, head)) return full;
    tail = "\\" + NamePart(head) + tail;
    head = parent;
  }
}

// Whether path is folder or lies below it, as the objects they name.
bool Within(const std::string& path, const std::string& folder) { return PathIsBelowOrSame(Final(path), Final(folder)); }

bool Contains(const std::vector<std::string>& list, const std::string& path) {
  return std::any_of(list.begin(), list.end(), [&](const std::string& p) { return SamePath(p, path); });
}

// A full path on a drive as the run writes it: "X:\" and names, none empty, "." or "..", none
// that Windows would trim or read as a stream, wildcards in the last name only.
bool IsFullDrivePath(const std::string& path) {
  if (path.size() < 3 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' || path[2] != '\\' ||
      path.find('/') != std::string::npos)
    return false;
  if (path.size() == 3) return true;
  std::string folder = ParentOf(path), name = NamePart(path);
  if (HasWildcard(folder) || name.empty() || name == "." || name == "..") return false;
  for (size_t at = 3; at < folder.size();) {
    size_t end = std::min(folder.find('\\', at), folder.size());
    std::string part = folder.substr(at, end - at);
    if (part.empty() || part == "." || part == "..") return false;
    at = end + 1;
  }
  std::string plainName = name;
  std::replace(plainName.begin(), plainName.end(), '*', 'x');
  std::replace(plainName.begin(), plainName.end(), '?', 'x');
  return plat::WindowsTargetProblem(folder.size() > 3 ? folder + "\\" + plainName : folder + plainName).empty();
}

class Planner {
 public:
  explicit Planner(const std::string& installDir) : windows_(GetWindowsDir()) {
    plan_.InstallDir = plat::GetFullPathName(installDir);
    while (plan_.InstallDir.size() > 3 && plan_.InstallDir.back() == '\\') plan_.InstallDir.pop_back();
    dest_ = plan_.InstallDir;
  }

  TUninstallPlan Make() {
    auto log = ReadUninstallLog(dest_ + "\\" + kUninstallLogName);
    if (!log) throw EGeneralError(Format(kMsgNoUninstallLog, dest_));
    log_ = *log;
    for (const auto& entry : log_.Files) logged_.insert(Key(entry));
    record_ = ReadUninstallRecord(dest_);
    plan_.Title = log_.Title;
    Check();
    if (plan_.Refused()) return plan_;
    for (const auto& entry : log_.Files)
      if (!HasWildcard(NamePart(entry))) Exact(entry);
    for (const auto& entry : log_.Files)
      if (HasWildcard(NamePart(entry))) Pattern(entry);
    Ini();
    Registry();
    for (const char* name : {kUninstallLogName, kUninstallRecordName}) {
      std::string path = dest_ + "\\" + name;
      for (const std::string& file : {path, path + kSaveLeftover})
        if (Exists(file) && !IsFolder(file)) plan_.Records.push_back(file);
    }
    Folders();
    return plan_;
  }

 private:
  // What a folder is that no uninstall may empty or remove: nullopt for any other.
  std::optional<std::string> ProtectedFolder(const std::string& folder) const {
    std::string f = Final(folder);
    if (folder.size() <= 3 || SamePath(f, Final(folder.substr(0, 3)))) return "a drive's root";
    if (PathIsBelowOrSame(Final(windows_), f)) return "the Windows folder";
    if (IsSystemFolder(folder)) return "the Windows System folder";
    return std::nullopt;
  }
  bool IsSystemFolder(const std::string& folder) const {
    for (const char* system : {"\\System", "\\System32"})
      if (SamePath(Final(folder), Final(windows_ + system))) return true;
    return false;
  }
  bool InShellFolders(const std::string& path) const {
    return Within(path, windows_ + "\\Desktop") || Within(path, windows_ + "\\Start Menu");
  }
  bool InDestination(const std::string& path) const { return Within(path, dest_); }

  void Refuse(const char* section, const std::string& entry, const std::string& why) {
    plan_.Refusals.push_back(std::string("[") + section + "] \"" + entry + "\" " + why);
  }

  void Check() {
    for (const auto& entry : log_.Files) {
      if (!IsFullDrivePath(entry)) {
        Refuse("UNINS", entry, "is not a full path on a drive");
        continue;
      }
      std::string name = NamePart(entry), folder = ParentOf(entry);
      if (!HasWildcard(name)) {
        if (auto what = ProtectedFolder(entry)) Refuse("UNINS", entry, "names " + *what + " itself");
      } else if (auto what = ProtectedFolder(folder)) {
        Refuse("UNINS", entry, "would remove the files of " + *what + " as a whole");
      } else if (InShellFolders(folder) && !InDestination(folder)) {
        // A shortcut's pattern is its name and any extension.
        if (name.size() < 3 || !name.ends_with(".*") || HasWildcard(name.substr(0, name.size() - 2)))
          Refuse("UNINS", entry, "would remove more than a shortcut from the Start menu or the desktop");
      } else if (!InDestination(folder)) {
        Refuse("UNINS", entry, "would remove files outside the destination and the Start menu and desktop folders");
      }
    }
    for (const auto& entry : log_.Folders) {
      if (!IsFullDrivePath(entry) || HasWildcard(entry)) {
        Refuse("Folders", entry, "is not a full path on a drive");
      } else if (auto what = ProtectedFolder(entry)) {
        Refuse("Folders", entry, "names " + *what + " itself");
      } else if (!InShellFolders(entry) || KeptFolder(entry)) {
        Refuse("Folders", entry, "is not a folder of its own in the Start menu or on the desktop");
      }
    }
  }

  // Each file once, in the first list that takes it; looked up by name, as a log may be long.
  bool Classified(const std::string& path) const { return classified_.count(Key(path)) > 0; }
  bool Logged(const std::string& path) const { return logged_.count(Key(path)) > 0; }
  static std::string Key(const std::string& path) {
    std::string key = plat::UpperCase(path);
    std::replace(key.begin(), key.end(), '/', '\\');
    return key;
  }
  void Keep(const std::string& path, const std::string& why) {
    classified_.insert(Key(path));
    plan_.Kept.push_back({path, why});
  }

  void Exact(const std::string& entry) {
    uint32_t a = plat::GetFileAttributes(entry);
    if (a == plat::kInvalidAttributes || (a & plat::kAttrDirectory) || Classified(entry)) return;
    if (record_ && record_->IniFile(entry)) return;  // its entries go, not the file
    if (record_ && record_->Found(entry))
      Keep(entry, "it was there before the setup");
    else if (!record_ && !InDestination(entry) && !InShellFolders(entry))
      Keep(entry, "it lies outside the destination and no record says the setup put it there");
    else
      AddFile(entry);
  }

  void AddFile(const std::string& path) {
    classified_.insert(Key(path));
    plan_.Files.push_back(path);
    if (SamePath(ParentOf(path), dest_) && ini::EqualNoCase(NamePart(path), kUninstallerName)) plan_.Uninstaller = path;
  }

  bool IsSetupFile(const std::string& path) const {
    if (!SamePath(ParentOf(path), dest_)) return false;
    if (record_) return record_->IsSetupFile(path);
    return std::any_of(std::begin(kSetupFileNames), std::end(kSetupFileNames),
                       [&](const char* name) { return ini::EqualNoCase(NamePart(path), name); });
  }

  void Pattern(const std::string& entry) {
    std::string folder = ParentOf(entry), pattern = NamePart(entry);
    bool shortcut = InShellFolders(folder) && !InDestination(folder);
    for (const auto& found : plat::FindFiles(entry, plat::kAttrMaskFiles)) {
      // The system may match a short name too: only the name itself counts.
      if (!WildcardMatches(pattern, found.name)) continue;
      std::string path = folder + (folder.size() > 3 ? "\\" : "") + found.name;
      if (Classified(path) || Logged(path) || IsRecordFile(path)) continue;
      if (IsSetupFile(path) || (shortcut && ini::EqualNoCase(found.name, pattern.substr(0, pattern.size() - 2) + ".lnk"))) {
        AddFile(path);
      } else if (InDestination(path)) {
        classified_.insert(Key(path));
        plan_.OtherFiles.push_back(path);
      } else {
        Keep(path, "it is no shortcut the setup made");
      }
    }
  }

  bool IsRecordFile(const std::string& path) const {
    if (!SamePath(ParentOf(path), dest_)) return false;
    for (const char* name : {kUninstallLogName, kUninstallRecordName})
      for (const std::string& n : {std::string(name), std::string(name) + kSaveLeftover})
        if (ini::EqualNoCase(NamePart(path), n)) return true;
    return false;
  }

  // The INI files the log names and the record describes: the setup's entries go, the file
  // only when the setup made it and nothing else is left in it.
  void Ini() {
    if (!record_) return;
    for (const auto& file : record_->IniFiles) {
      if (!Logged(file.File) || !IsFullDrivePath(file.File)) continue;
      TIniFilePlan ini{file.File, file.Existed, {}};
      for (const auto& e : record_->IniEntries)
        if (SamePath(e.File, file.File)) ini.Changes.push_back({e.Section, e.Key, e.Old, e.NewSection});
      plan_.IniFiles.push_back(std::move(ini));
    }
  }

  void Registry() {
    std::vector<std::string> keys;
    if (record_) keys = record_->RegistryKeys;
    else if (log_.Title.find_first_not_of('\\') != std::string::npos) keys.push_back(kUninstallKey + log_.Title);
    std::string uninstallKey = kUninstallKey;
    uninstallKey.pop_back();
    for (const auto& key : keys) {
      // Only an entry below the uninstall key, and only the one naming this uninstaller: another
      // installation of the product elsewhere may have written the key since.
      if (!PathIsBelowOrSame(key, uninstallKey) || reg::SplitKeyPath(key).size() <= reg::SplitKeyPath(uninstallKey).size())
        continue;
      auto command = plat::RegQueryStringValue(plat::RegRoot::LocalMachine, key, "UninstallString");
      if (!command) continue;
      if (SamePath(UninstallCommandProgram(*command), dest_ + "\\" + kUninstallerName))
        AddOnce(plan_.RegistryKeys, key);
      else
        plan_.Kept.push_back({"HKEY_LOCAL_MACHINE\\" + key, "it names the uninstaller of another installation"});
    }
    if (!record_) return;
    for (const auto& key : record_->CreatedKeys) {
      bool above = std::any_of(plan_.RegistryKeys.begin(), plan_.RegistryKeys.end(),
                               [&](const std::string& k) { return PathIsBelowOrSame(k, key); });
      if (above && !reg::SplitKeyPath(key).empty()) AddOnce(plan_.CreatedKeys, key);
    }
    std::stable_sort(plan_.CreatedKeys.begin(), plan_.CreatedKeys.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
  }

  // Never removed, even when empty: the protected folders and the Windows folder's own.
  bool KeptFolder(const std::string& folder) const {
    // A Windows whose System folder has another name (system32 alone) got one from the setup:
    // that one goes when empty, as any folder the setup made.
    if (IsSystemFolder(folder) && record_ && Contains(record_->CreatedFolders, folder)) return false;
    if (ProtectedFolder(folder)) return true;
    for (const char* own : {"\\Temp", "\\Desktop", "\\Start Menu", "\\Start Menu\\Programs"})
      if (SamePath(Final(folder), Final(windows_ + own))) return true;
    return false;
  }

  void Folders() {
    std::vector<std::string> folders;
    auto add = [&](const std::string& folder) {
      if (!KeptFolder(folder)) AddOnce(folders, folder);
    };
    // With a record, only what the setup made: a Start-menu folder of the user's that held the
    // shortcut stays.
    for (const auto& folder : log_.Folders)
      if (!record_ || Contains(record_->CreatedFolders, folder)) add(folder);
    // The destination goes when empty, unless the record says it was there before the setup.
    if (!record_ || Contains(record_->CreatedFolders, dest_)) add(dest_);
    if (record_) {
      // A folder the setup made on the way to the destination or to something the log names.
      std::vector<std::string> named = log_.Folders;
      named.push_back(dest_);
      for (const auto& entry : log_.Files) named.push_back(ParentOf(entry));
      for (const auto& made : record_->CreatedFolders) {
        bool onTheWay = IsFullDrivePath(made) && std::any_of(named.begin(), named.end(), [&](const std::string& n) {
                          return PathIsBelowOrSame(n, made);
                        });
        if (onTheWay) add(made);
      }
    } else {
      // Without a record: the folders below the destination that held its files.
      for (const auto& file : plan_.Files)
        for (std::string f = ParentOf(file); InDestination(f) && !SamePath(f, dest_); f = ParentOf(f)) add(f);
    }
    std::stable_sort(folders.begin(), folders.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    plan_.Folders = std::move(folders);
  }

  std::string windows_, dest_;
  TUninstallLogContents log_;
  std::optional<TUninstallRecord> record_;
  TUninstallPlan plan_;
  std::set<std::string> classified_, logged_;  // Key()
};

}  // namespace

TUninstallPlan PlanUninstall(const std::string& installDir) { return Planner(installDir).Make(); }

std::string UninstallCommandProgram(const std::string& command) {
  size_t start = std::min(command.find_first_not_of(' '), command.size());
  if (start < command.size() && command[start] == '"') {
    size_t end = command.find('"', start + 1);
    return command.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
  }
  size_t exe = plat::UpperCase(command).find(".EXE", start);
  return command.substr(start, exe == std::string::npos ? std::string::npos : exe + 4 - start);
}

}  // namespace tovin
