#include "wizard/installation_run.h"

#include "common/box_ids.h"
#include "common/system_routines.h"
#include "platform/platform.h"
#include "platform/scope_guard.h"
#include "wizard/directory_keys.h"
#include "wizard/tovin_wizard.h"
#include "wizard/uninstall_info.h"

namespace tovin {
namespace {

constexpr int kStripHeight = 100, kStripGap = 30;  // the strip's client height, its gap to the bottom
constexpr int kShowCommand = 5;  // SW_SHOW
constexpr const char* kMsgNoInstallDir =
    "This setup names no destination directory (no <INSTALLDIR> entry under [Directories]); nothing was installed.";

std::string FileNamePart(const std::string& path) { return path.substr(path.find_last_of("\\:") + 1); }

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
    Start();
    Directories();
    if (w_.min.Checked()) s_.FilesList = s_.WorkStationList;
    CopyFileInto(s_.TempDir + "\\install.exe", places_.InstallDirPath);
    CopyFileInto(s_.TempDir + "\\install.cfg", places_.InstallDirPath);
    Files();
    Shortcuts();
    if (!s_.IniFile.empty()) log_.Add("UNINS", places_.WindowsDir + "\\" + s_.IniFile);
    if (!s_.IniSetupList.empty()) {
      Status(w_.source, "Creating INI Config File");
      WriteIniEntries(keys_, paths_, s_.IniSetupList, s_.IniFile, [this] { Advance(s_.IniFile); });
    }
    log_.Close();
    keys_.clear();
    paths_.clear();
    Status(w_.source, "Adding Items to Registry");
    WriteUninstallRegistry(w_.Host().HeaderText(), places_.InstallDirPath);
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

  void Directories() {
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
      }
      keys_.push_back(upper);
      paths_.push_back(dir);
      try {
        CreateDirectoryPath(dir);
      } catch (const Exception&) {
      }
      if (plat::UpperCase(s_.Launch).find(upper) != std::string::npos) {
        std::string remaining = s_.Launch.size() > upper.size() ? s_.Launch.substr(upper.size()) : std::string();
        s_.Launch = dir + "\\" + remaining;
      }
    }
  }

  // Whether the upper-cased name occurs in any file entry other than the one at index.
  bool FileNameUsedElsewhere(const std::string& name, size_t index) const {
    std::string upper = plat::UpperCase(name);
    for (size_t j = 0; j < s_.FilesList.size(); ++j)
      if (j != index && plat::UpperCase(s_.FilesList[j]).find(upper) != std::string::npos) return true;
    return false;
  }

  void Files() {
    for (size_t i = 0; i < keys_.size(); ++i) {
      Status(w_.source, "Ready to Install");
      for (size_t j = 0; j < s_.FilesList.size(); ++j) {
        std::string rest = s_.FilesList[j], sourcePath, key, flag;
        NextField(rest, '~', sourcePath);
        NextField(rest, '~', key);
        NextField(rest, '~', flag);
        std::string name = FileNamePart(sourcePath);
        Pump();
        if (plat::UpperCase(key) != keys_[i]) continue;
        Advance(name);
        Pump();
        w_.source.SetCaption(name);
        w_.Dest.SetCaption(paths_[i]);
        Pump();
        bool copy = true;
        if (flag == "X" && Exists(paths_[i] + "\\" + name))
          copy = app_.Confirm("File Already Exists (" + name + "). Overwrite?", box::kOverwriteFile, name);
        if (copy) {
          try {
            CopyFileInto(s_.TempDir + "\\" + name, paths_[i]);
            if (!FileNameUsedElsewhere(name, j) && !plat::DeleteFile(s_.TempDir + "\\" + name))
              throw EGeneralError("delete failed");
          } catch (const Exception&) {
            app_.ShowMessage("ERROR on " + name, box::kCopyFailed, name);
          }
        }
        Pump();
        log_.Add("UNINS", paths_[i] + "\\" + name);
      }
    }
  }

  void Shortcuts() {
    Status(w_.source, "Creating Icons and Folders");
    TShortcuts& sc = w_.Shortcuts1;
    const std::string folder = w_.CreateFolder.Text();
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
        w_.Dest.SetCaption(folder);
        Pump();
        Advance(name);
        Pump();
        sc.Folder = folder;
        sc.ProgramName = name;
        sc.RunProgram = paths_[i] + "\\" + program.Rest;
        sc.IconFile = paths_[i] + "\\" + icon.Rest;
        sc.Desktop = onDesktop == "X" && HasCheckedItem(w_.DK, name);
        sc.StartMenu = inStartMenu == "X" && HasCheckedItem(w_.SM, name);
        LogShortcut(sc, folder, name);
        try {
          sc.CreateShortcut();
        } catch (const std::exception&) {
          // One failed shortcut never stops the installation.
        }
      }
    }
  }

  void LogShortcut(const TShortcuts& sc, const std::string& folder, const std::string& name) {
    const std::string& w = places_.WindowsDir;
    if (sc.FolderDesktop) {
      log_.Add("Folders", w + "\\Desktop\\" + folder);
      log_.Add("UNINS", w + "\\Desktop\\" + folder + "\\" + name + ".*");
    }
    if (sc.Desktop) log_.Add("UNINS", w + "\\Desktop\\" + name + ".*");
    if (sc.StartMenu) log_.Add("UNINS", w + "\\Start Menu\\" + name + ".*");
    if (sc.FolderStartMenu) {
      log_.Add("Folders", w + "\\Start Menu\\" + folder);
      log_.Add("UNINS", w + "\\Start Menu\\" + folder + "\\" + name + ".*");
    }
    log_.Add("Folders", w + "\\Start Menu\\Programs\\" + folder);
    log_.Add("UNINS", w + "\\Start Menu\\Programs\\" + folder + "\\" + name + ".*");
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
};

}  // namespace

void RunInstallation(TTovin& wizard) {
  ScopeGuard finished([&wizard] { wizard.Host().Progress().Finished(); });
  Run(wizard).Execute();
}

}  // namespace tovin
