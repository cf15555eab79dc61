#include "wizard/uninstall_run.h"

#include <algorithm>
#include <set>

#include "platform/ini_document.h"
#include "platform/platform.h"
#include "platform/registry_file.h"
#include "platform/text.h"
#include "wizard/uninstall_log_reader.h"

namespace tovin {
namespace {

constexpr auto kRoot = plat::RegRoot::LocalMachine;
constexpr const char* kEntryValues[] = {"DisplayName", "UninstallString"};

bool Exists(const std::string& path) { return plat::GetFileAttributes(path) != plat::kInvalidAttributes; }

std::string Upper(const std::string& path) { return plat::UpperCase(path); }

bool Blank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

class Runner {
 public:
  Runner(const TUninstallPlan& plan, const TUninstallOptions& options, const TUninstallProgress& progress)
      : plan_(plan), options_(options), progress_(progress) {
    total_ = static_cast<int>(plan.Files.size() + plan.IniFiles.size() + plan.RegistryKeys.size() + plan.Records.size() +
                              plan.Folders.size() + (options.RemoveOtherFiles ? plan.OtherFiles.size() : 0));
  }

  TUninstallReport Run() {
    std::vector<std::string> last;
    for (const auto& file : plan_.Files) {
      // The uninstaller goes with the log, so that it is there to run again if something stays.
      if (SamePath(file, plan_.Uninstaller) || SamePath(file, options_.RunningProgram)) {
        last.push_back(file);
        continue;
      }
      RemoveFile(ikFile, file);
    }
    for (const auto& file : plan_.OtherFiles) {
      if (options_.RemoveOtherFiles) RemoveFile(ikOtherFile, file);
      else Step(ikOtherFile, file, urKept, "the setup did not install it");
    }
    for (const auto& kept : plan_.Kept) Step(ikFile, kept.Path, urKept, kept.Why);
    for (const auto& ini : plan_.IniFiles) Ini(ini);
    if (report_.Complete) {
      for (const auto& key : plan_.RegistryKeys) Entry(key);
      for (const auto& key : plan_.CreatedKeys) EmptyKey(key);
      for (const auto& file : plan_.Records) RemoveFile(ikFile, file);
      for (const auto& file : last) {
        if (SamePath(file, options_.RunningProgram)) RemoveRunningProgram(file);
        else RemoveFile(ikFile, file);
      }
    } else {
      constexpr const char* kWhy = "kept so that the uninstall can be run again";
      for (const auto& key : plan_.RegistryKeys) Step(ikRegistryKey, key, urKept, kWhy);
      for (const auto& file : plan_.Records) Step(ikFile, file, urKept, kWhy);
      for (const auto& file : last) Step(ikFile, file, urKept, kWhy);
    }
    for (const auto& folder : plan_.Folders) Folder(folder);
    return std::move(report_);
  }

 private:
  void Next(const std::string& item) {
    if (progress_) progress_(item, ++position_, total_);
  }
  void Step(TUninstallItemKind kind, const std::string& item, TUninstallResult result, const std::string& why = {},
            const std::string& detail = {}) {
    report_.Steps.push_back({kind, item, detail, result, why});
    if (result == urFailed) report_.Complete = false;
  }
  std::string LastError() const { return plat::SystemErrorMessage(plat::GetLastError()); }

  // Deletes a file, a read-only one too (the setup's files may be read-only as they were packed).
  void RemoveFile(TUninstallItemKind kind, const std::string& path) {
    Next(path);
    uint32_t a = plat::GetFileAttributes(path);
    if (a == plat::kInvalidAttributes) return;  // gone since the plan was made
    if (options_.DryRun) {
      gone_.insert(Upper(path));
      return Step(kind, path, urRemoved);
    }
    bool readOnly = a & plat::kAttrReadOnly;
    if (readOnly) plat::SetFileAttributes(path, plat::kAttrNormal);
    if (plat::DeleteFile(path)) {
      gone_.insert(Upper(path));
      return Step(kind, path, urRemoved);
    }
    std::string why = LastError();
    if (readOnly) plat::SetFileAttributes(path, a & (plat::kAttrReadOnly | plat::kAttrHidden | plat::kAttrSystem | plat::kAttrArchive));
    Step(kind, path, urFailed, why);
  }

  void RemoveRunningProgram(const std::string& path) {
    Next(path);
    if (!Exists(path)) return;
    if (options_.DryRun || plat::DeleteFile(path)) {
      gone_.insert(Upper(path));
      return Step(ikFile, path, urRemoved);
    }
    if (plat::DeleteAtRestart(path)) {
      gone_.insert(Upper(path));
      atRestart_ = true;
      return Step(ikFile, path, urAtRestart);
    }
    Step(ikFile, path, urFailed, LastError());
  }

  void Ini(const TIniFilePlan& ini) {
    Next(ini.File);
    auto text = ini::ReadWhole(ini.File);
    if (!text) return;  // gone, or nothing the setup can read
    ini::Document doc(*text);
    for (const auto& change : ini.Changes) {
      std::string detail = "[" + change.Section + "] " + change.Key;
      if (!doc.Value(change.Section, change.Key) && !change.Restore) continue;
      bool ok = options_.DryRun || plat::WritePrivateProfileString(change.Section, change.Key, change.Restore, ini.File);
      if (change.Restore) doc.Set(change.Section, change.Key, *change.Restore);
      else doc.DeleteKey(change.Section, change.Key);
      Step(ikIniEntry, ini.File, ok ? (change.Restore ? urRestored : urRemoved) : urFailed, ok ? "" : LastError(), detail);
    }
    for (const auto& change : ini.Changes) {
      if (!change.NewSection || !doc.Keys(change.Section).empty() || doc.SectionLines(change.Section).empty()) continue;
      if (!options_.DryRun) plat::WritePrivateProfileString(change.Section, std::nullopt, std::nullopt, ini.File);
      doc.DeleteSection(change.Section);
    }
    if (ini.Existed) return Step(ikIniFile, ini.File, urKept, "it was there before the setup");
    if (!options_.DryRun) doc = ini::Document(ini::ReadWhole(ini.File).value_or(doc.Text()));
    if (!Blank(doc.Text())) return Step(ikIniFile, ini.File, urKept, "it holds entries the setup did not write");
    if (!options_.DryRun && !plat::DeleteFile(ini.File)) return Step(ikIniFile, ini.File, urFailed, LastError());
    gone_.insert(Upper(ini.File));
    Step(ikIniFile, ini.File, urRemoved);
  }

  // The uninstall entry: the setup's two values, then the key when nothing else is in it.
  void Entry(const std::string& key) {
    Next(key);
    auto counts = plat::RegQueryKeyCounts(kRoot, key);
    if (!counts) return;
    uint32_t ours = 0;
    for (const char* value : kEntryValues) {
      if (!plat::RegQueryStringValue(kRoot, key, value)) continue;
      ++ours;
      if (!options_.DryRun) plat::RegDeleteValue(kRoot, key, value);
    }
    if (counts->subkeys != 0 || counts->values != ours)
      return Step(ikRegistryKey, key, urKept, "it holds values the setup did not write");
    if (!options_.DryRun && !plat::RegDeleteKey(kRoot, key)) return Step(ikRegistryKey, key, urFailed, LastError());
    goneKeys_.insert(Upper(key));
    Step(ikRegistryKey, key, urRemoved);
  }

  // A key the setup made on the way to its entry: removed when nothing is left in it.
  void EmptyKey(const std::string& key) {
    auto counts = plat::RegQueryKeyCounts(kRoot, key);
    if (!counts || counts->values != 0) return;
    uint32_t goneBelow = 0;
    for (const auto& gone : goneKeys_)
      if (Upper(ParentOf(gone)) == Upper(key)) ++goneBelow;
    if (counts->subkeys != (options_.DryRun ? goneBelow : 0)) return;
    if (!options_.DryRun && !plat::RegDeleteKey(kRoot, key)) return Step(ikRegistryKey, key, urFailed, LastError());
    goneKeys_.insert(Upper(key));
    Step(ikRegistryKey, key, urRemoved);
  }

  // What the folder holds, by path.
  static std::vector<std::string> Content(const std::string& folder) {
    std::vector<std::string> content;
    for (const auto& f : plat::FindFiles(folder + "\\*.*", plat::kAttrMaskAll))
      if (f.name != "." && f.name != "..") content.push_back(folder + (folder.size() > 3 ? "\\" : "") + f.name);
    return content;
  }
  bool AllGone(const std::vector<std::string>& paths) const {
    return std::all_of(paths.begin(), paths.end(), [&](const std::string& p) { return gone_.count(Upper(p)) > 0; });
  }

  void Folder(const std::string& folder) {
    Next(folder);
    uint32_t a = plat::GetFileAttributes(folder);
    if (a == plat::kInvalidAttributes || !(a & plat::kAttrDirectory)) return;
    if (!options_.DryRun && plat::RemoveDirectory(folder)) {
      gone_.insert(Upper(folder));
      return Step(ikFolder, folder, urRemoved);
    }
    std::string why = LastError();
    std::vector<std::string> content = Content(folder);
    if (options_.DryRun && AllGone(content)) {
      gone_.insert(Upper(folder));
      return Step(ikFolder, folder, urRemoved);
    }
    // Held only by what goes at the restart: it goes then too, after its content.
    if (atRestart_ && !content.empty() && AllGone(content) && plat::DeleteAtRestart(folder)) {
      gone_.insert(Upper(folder));
      return Step(ikFolder, folder, urAtRestart);
    }
    Step(ikFolder, folder, urKept, content.empty() ? why : "it is not empty");
  }

  const TUninstallPlan& plan_;
  const TUninstallOptions& options_;
  const TUninstallProgress& progress_;
  TUninstallReport report_;
  int position_ = 0, total_ = 0;
  std::set<std::string> gone_, goneKeys_;  // upper-cased: what went (or, in a dry run, would go)
  bool atRestart_ = false;
};

}  // namespace

TUninstallReport RunUninstall(const TUninstallPlan& plan, const TUninstallOptions& options,
                              const TUninstallProgress& progress) {
  return Runner(plan, options, progress).Run();
}

std::string DescribeStep(const TUninstallStep& step, bool dryRun,
                         const std::function<std::string(const std::string&)>& showPath) {
  std::string item;
  switch (step.Kind) {
    case ikFile: item = showPath(step.Item); break;
    case ikOtherFile: item = showPath(step.Item); break;
    case ikIniEntry: item = "INI entry " + step.Detail + " in " + showPath(step.Item); break;
    case ikIniFile: item = "INI file " + showPath(step.Item); break;
    case ikRegistryKey: item = "registry key HKEY_LOCAL_MACHINE\\" + step.Item; break;
    case ikFolder: item = "folder " + showPath(step.Item); break;
  }
  std::string why = step.Why.empty() ? "" : ": " + step.Why;
  switch (step.Result) {
    case urRemoved: return (dryRun ? "would remove " : "removed ") + item;
    case urRestored: return (dryRun ? "would restore " : "restored ") + item + " to its value before the setup";
    case urKept: return (dryRun ? "would keep " : "kept ") + item + why;
    case urFailed: return "could not remove " + item + why;
    case urAtRestart: return "will remove " + item + " when Windows restarts";
  }
  return item;
}

}  // namespace tovin
