#include "wizard/installation_run.h"

#include <optional>

#include "common/box_ids.h"
#include "common/system_routines.h"
#include "platform/platform.h"
#include "platform/scope_guard.h"
#include "wizard/destination_check.h"
#include "wizard/directory_keys.h"
#include "wizard/entry_text_index.h"
#include "wizard/log_paths.h"
#include "wizard/tovin_wizard.h"
#include "wizard/uninstall_info.h"
#include "wizard/uninstall_recorder.h"

namespace tovin {
namespace {

constexpr int kStripHeight = 100, kStripGap = 30;  // the strip's client height, its gap to the bottom
constexpr int kShowCommand = 5;  // SW_SHOW
constexpr const char* kMsgNoInstallDir =
    "This setup names no destination directory (no <INSTALLDIR> entry under [Directories]); nothing was installed.";

// The name the preparing stage gave the file in the temporary folder: Windows takes '/' for a
// separator too.
std::string FileNamePart(const std::string& path) { return path.substr(path.find_last_of("\\/:") + 1); }

bool Exists(const std::string& path) { return plat::GetFileAttributes(path) != plat::kInvalidAttributes; }

bool HasCheckedItem(const ui::TCheckListBox& list, const std::string& name) {
  for (int i = 0; i < static_cast<int>(list.Items().size()); ++i)
    if (list.Items()[static_cast<size_t>(i)] == name && list.Checked(i)) return true;
  return false;
}

class Run {
 public:
  explicit Run(TTovin& w) : w_(w), app_(w.Application()), s_(w.Host().Settings()) {}

  void Execute() {
    // A package without a destination has nowhere to keep its own copy or its uninstall log:
    // refused before anything happens.
    if (!FindDestination()) throw EGeneralError(kMsgNoInstallDir);
    if (std::string why = DestinationProblem(places_.InstallDirPath); !why.empty()) throw EGeneralError(why);
    // However the run ends, the earlier installation's entries that no longer apply go.
    struct CloseLog {
      TUninstallLog& log;
      ~CloseLog() {
        try {
          log.Close();
        } catch (const Exception&) {
          // The file keeps what the last save put there, which names everything on disk.
        }
      }
    } closeLog{log_};
    Start();
    Directories();
    if (w_.min.Checked()) s_.FilesList = s_.WorkStationList;
    for (const char* own : {"install.exe", "install.cfg"}) recorder_.NoteSetupFile(places_.InstallDirPath + "\\" + own);
    recorder_.Save();
    CopyFileInto(s_.TempDir + "\\install.exe", places_.InstallDirPath);
    CopyFileInto(s_.TempDir + "\\install.cfg", places_.InstallDirPath);
    WriteUninstaller();
    Files();
    Shortcuts();
    if (!s_.IniFile.empty()) {
      auto key = IniFileLogKey(places_.WindowsDir, s_.IniFile);
      if (!key) throw EUnableToWrite(Format(kMsgUnableToWrite, s_.IniFile));
      log_.Add("UNINS", *key);
      log_.Save();
      bool earlier = log_.NamedEarlier("UNINS", *key);
      recorder_.NoteIniFile(*key, earlier);
      recorder_.NoteIniEntries(*key, IniEntriesToWrite(keys_, paths_, s_.IniSetupList), earlier);
      recorder_.Save();
    }
    if (!s_.IniSetupList.empty()) {
      Status(w_.source, "Creating INI Config File");
      WriteIniEntries(keys_, paths_, s_.IniSetupList, s_.IniFile, [this] { Advance(s_.IniFile); });
    }
    log_.Close();
    keys_.clear();
    paths_.clear();
    Status(w_.source, "Adding Items to Registry");
    // An empty title would put the entry's values on the uninstall key itself.
    if (w_.Host().HeaderText().find_first_not_of('\\') != std::string::npos) {
      recorder_.NoteRegistryKey(kUninstallKey + w_.Host().HeaderText());
      recorder_.Save();
      WriteUninstallRegistry(w_.Host().HeaderText(), places_.InstallDirPath);
    } else
      w_.SetRegistryEntrySkipped();
    Finish();
  }

 private:
  void Pump() { app_.ProcessMessages(); }
  void Status(ui::TLabel& label, const std::string& text) {
    label.SetCaption(text);
    Pump();
  }
  void Advance(const std::string& item) {
    w_.ProgressBar1.SetPosition(w_.ProgressBar1.Position() + 1);
    w_.Host().Progress().Installing(item, w_.ProgressBar1.Position(), w_.ProgressBar1.Max());
  }

  void Start() {
    places_.WindowsDir = GetWindowsDir();
    places_.SystemDriveRoot = s_.SystemDriveRoot;
    w_.Panel1.Hide();
    ui::TForm& background = w_.Host().BackgroundForm();
    w_.SetClientSize(w_.ClientWidth(), kStripHeight);
    w_.SetTop(background.ClientHeight() - w_.Height() - kStripGap);
    w_.Repaint();
    Pump();
    size_t count = s_.FilesList.size() + s_.DesktopList.size() + s_.IniSetupList.size() + s_.WorkStationList.size();
    w_.ProgressBar1.SetRange(0, static_cast<int>(count));
    Status(w_.source, "Preparing Directory Structure");
  }

  // The first pass over the directories: entries before the <INSTALLDIR> entry resolve against
  // the destination too. False when the list names no destination.
  bool FindDestination() {
    bool found = false;
    for (const auto& entry : s_.DirectoriesList) {
      std::string rest = entry, key;
      NextField(rest, '~', key);
      if (plat::UpperCase(key) != "<INSTALLDIR>") continue;
      places_.InstallDirPath = w_.Label1.Caption();
      found = true;
    }
    return found;
  }

  // The folders this run makes, each level, found before it makes any.
  std::vector<std::string> FoldersToMake() const {
    std::vector<std::string> levels;
    for (const auto& entry : s_.DirectoriesList) {
      std::string path = entry, key;
      NextField(path, '~', key);
      std::string upper = plat::UpperCase(key);
      std::string dir = upper == "<INSTALLDIR>" ? places_.InstallDirPath : ResolveDirectoryKey(upper, path, places_);
      for (const auto& level : MissingFolderLevels(dir)) AddOnce(levels, level);
    }
    return levels;
  }

  void Directories() {
    const std::vector<std::string> foldersToMake = FoldersToMake();
    for (const auto& entry : s_.DirectoriesList) {
      std::string path = entry, key;
      NextField(path, '~', key);
      std::string upper = plat::UpperCase(key);
      std::string dir = ResolveDirectoryKey(upper, path, places_);
      if (upper == "<INSTALLDIR>") {
        places_.InstallDirPath = w_.Label1.Caption();
        dir = places_.InstallDirPath;
        try {
          CreateDirectoryPath(dir);
        } catch (const Exception&) {
        }
        log_.Open(places_.InstallDirPath, w_.Host().HeaderText());
        recorder_.Open(places_.InstallDirPath, foldersToMake);
      }
      keys_.push_back(upper);
      paths_.push_back(dir);
      try {
        CreateDirectoryPath(dir);
      } catch (const Exception&) {
      }
      // An empty key would be "found" in every Launch text.
      if (!upper.empty() && plat::UpperCase(s_.Launch).find(upper) != std::string::npos) {
        std::string remaining = s_.Launch.size() > upper.size() ? s_.Launch.substr(upper.size()) : std::string();
        s_.Launch = dir + "\\" + remaining;
      }
    }
  }

  // Whether the upper-cased name occurs in any file entry other than the one at index; the
  // index answers without a scan of the list for each file.
  bool FileNameUsedElsewhere(const std::string& name, size_t index) const {
    return usedElsewhere_ && usedElsewhere_->UsedElsewhere(name, index);
  }

  // A file entry split once: the run goes over the list once for each directory.
  struct FileEntry {
    std::string name, key, flag;  // key upper-cased
  };

  std::vector<FileEntry> SplitFileEntries() const {
    std::vector<FileEntry> entries;
    entries.reserve(s_.FilesList.size());
    for (const auto& entry : s_.FilesList) {
      std::string rest = entry, sourcePath, key, flag;
      NextField(rest, '~', sourcePath);
      NextField(rest, '~', key);
      NextField(rest, '~', flag);
      entries.push_back({FileNamePart(sourcePath), plat::UpperCase(key), flag});
    }
    return entries;
  }

  struct FileStep {
    std::string name, flag;
    std::optional<std::string> logKey;
  };

  // Every entry is logged before any file is copied, so a run that dies never leaves a file on
  // disk that the log does not name.
  std::vector<FileStep> PlanFiles(const std::vector<FileEntry>& entries) {
    std::vector<FileStep> steps;
    for (size_t i = 0; i < keys_.size(); ++i) {
      for (const FileEntry& entry : entries) {
        if (entry.key != keys_[i]) continue;
        auto logKey = FileLogKey(paths_[i], entry.name);
        if (logKey) {
          log_.Add("UNINS", *logKey);
          recorder_.NoteFile(*logKey, log_.NamedEarlier("UNINS", *logKey));
        }
        steps.push_back({entry.name, entry.flag, logKey});
      }
    }
    log_.Save();
    recorder_.Save();
    return steps;
  }

  void Files() {
    const std::vector<FileEntry> entries = SplitFileEntries();
    usedElsewhere_.emplace(s_.FilesList);
    std::vector<FileStep> steps = PlanFiles(entries);
    size_t next = 0;
    for (size_t i = 0; i < keys_.size(); ++i) {
      Status(w_.source, "Ready to Install");
      for (size_t j = 0; j < entries.size(); ++j) {
        Pump();
        if (entries[j].key != keys_[i]) continue;
        const FileStep& step = steps[next++];
        const std::string& name = step.name;
        Advance(name);
        Pump();
        w_.source.SetCaption(name);
        w_.Dest.SetCaption(paths_[i]);
        Pump();
        if (!step.logKey) {
          app_.ShowMessage("ERROR on " + name, box::kCopyFailed, name);
          continue;
        }
        bool copy = true;
        if (step.flag == "X" && Exists(paths_[i] + "\\" + name))
          copy = app_.Confirm("File Already Exists (" + name + "). Overwrite?", box::kOverwriteFile, name);
        if (copy) {
          try {
            CopyFileInto(s_.TempDir + "\\" + name, paths_[i]);
            if (!FileNameUsedElsewhere(name, j) && !DeleteTemporaryCopy(name)) throw EGeneralError("delete failed");
          } catch (const Exception&) {
            app_.ShowMessage("ERROR on " + name, box::kCopyFailed, name);
          }
        }
        Pump();
      }
    }
  }

  // The registered uninstall command names uninstaller.exe in the destination. A package that
  // does not install one there gets the setup program itself under that name: started so, it
  // is the uninstaller.
  void WriteUninstaller() {
    for (const auto& entry : s_.FilesList) {
      std::string rest = entry, sourcePath, key;
      NextField(rest, '~', sourcePath);
      NextField(rest, '~', key);
      if (!ini::EqualNoCase(FileNamePart(sourcePath), kUninstallerName)) continue;
      for (size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i] == plat::UpperCase(key) && ini::EqualNoCase(plat::GetFullPathName(paths_[i]), places_.InstallDirPath))
          return;
    }
    std::string target = places_.InstallDirPath + "\\" + kUninstallerName;
    if (PathIsDirectory(target)) throw EFCreateError(Format(kMsgCannotCreateFile, target));
    recorder_.NoteSetupFile(target);
    recorder_.Save();
    CopyFileAs(s_.TempDir + "\\install.exe", target);
  }

  // The temporary copies are the setup's own: a read-only one is deleted all the same (only
  // its read-only bit stands in the way, and only that one is cleared).
  bool DeleteTemporaryCopy(const std::string& name) {
    std::string path = s_.TempDir + "\\" + name;
    uint32_t a = plat::GetFileAttributes(path);
    if (a != plat::kInvalidAttributes && (a & plat::kAttrReadOnly)) plat::SetFileAttributes(path, plat::kAttrNormal);
    return plat::DeleteFile(path);
  }

  struct ShortcutStep {
    std::string name, target, icon;
    bool desktop, startMenu, logged;
  };

  std::vector<ShortcutStep> PlanShortcuts(const std::string& folder) {
    std::vector<ShortcutStep> steps;
    const TShortcuts& sc = w_.Shortcuts1;
    for (size_t i = 0; i < keys_.size(); ++i) {
      for (const auto& entry : s_.DesktopList) {
        std::string rest = entry, name, target, onDesktop, inStartMenu;
        NextField(rest, '~', name);
        NextField(rest, '~', target);
        NextField(rest, '~', onDesktop);
        NextField(rest, '~', inStartMenu);
        KeyedPath program = SplitKeyedPath(target);
        KeyedPath icon = SplitKeyedPath(rest);
        if (program.Key != keys_[i]) continue;
        ShortcutStep step{name, paths_[i] + "\\" + program.Rest, paths_[i] + "\\" + icon.Rest,
                          onDesktop == "X" && HasCheckedItem(w_.DK, name),
                          inStartMenu == "X" && HasCheckedItem(w_.SM, name), false};
        auto entries = ShortcutLogEntries(places_.WindowsDir, {sc.FolderDesktop, step.desktop, step.startMenu, sc.FolderStartMenu},
                                          folder, name);
        step.logged = entries.has_value();
        if (entries)
          for (const auto& entry : *entries) {
            log_.Add(entry.Section, entry.Key);
            if (entry.Section == "Folders") recorder_.NoteFoldersToMake(entry.Key);
          }
        steps.push_back(step);
      }
    }
    log_.Save();
    recorder_.Save();
    return steps;
  }

  void Shortcuts() {
    Status(w_.source, "Creating Icons and Folders");
    TShortcuts& sc = w_.Shortcuts1;
    const std::string folder = w_.CreateFolder.Text();
    for (const ShortcutStep& step : PlanShortcuts(folder)) {
      w_.Dest.SetCaption(folder);
      Pump();
      Advance(step.name);
      Pump();
      if (!step.logged) {
        app_.ShowMessage("ERROR on " + step.name, box::kCopyFailed, step.name);
        continue;
      }
      sc.Folder = folder;
      sc.ProgramName = step.name;
      sc.RunProgram = step.target;
      sc.IconFile = step.icon;
      sc.Desktop = step.desktop;
      sc.StartMenu = step.startMenu;
      try {
        sc.CreateShortcut();
      } catch (const std::exception&) {
        // One failed shortcut never stops the installation.
      }
    }
  }

  void Finish() {
    std::string upper = plat::UpperCase(s_.Launch);
    bool always = upper.find("SETUP.") != std::string::npos || upper.find("INSTALL.") != std::string::npos;
    if (w_.RadioButton1.Checked() || always) {
      auto cut = s_.Launch.rfind('\\');
      std::string file = cut == std::string::npos ? s_.Launch : s_.Launch.substr(cut + 1);
      std::string dir = cut == std::string::npos ? std::string() : s_.Launch.substr(0, cut + 1);
      OpenWithShell(file, "", dir, kShowCommand);
    }
    w_.SetInstallationFinished();
    Pump();
    w_.Close();
  }

  TTovin& w_;
  ui::TApplication& app_;
  SetupSettings& s_;
  InstallPlaces places_;
  std::vector<std::string> keys_, paths_;
  TUninstallLog log_;
  TUninstallRecorder recorder_;
  std::optional<TEntryTextIndex> usedElsewhere_;  // of the file list in use, made when the files are copied
};

}  // namespace

void RunInstallation(TTovin& wizard) {
  ScopeGuard finished([&wizard] { wizard.Host().Progress().Finished(); });
  Run(wizard).Execute();
}

}  // namespace tovin
