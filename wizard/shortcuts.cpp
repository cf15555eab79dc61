#include "wizard/shortcuts.h"

#include "common/system_routines.h"
#include "platform/platform.h"
#include "wizard/directory_keys.h"

namespace tovin {

void TShortcuts::FillFolderList() {
  FolderList.clear();
  std::string programs = GetWindowsDir() + "\\Start Menu\\Programs\\";
  for (const auto& f : plat::FindFiles(programs + "*.*", plat::kAttrDirectory)) {
    if (!f.name.empty() && f.name[0] == '.') continue;
    if (plat::UpperCase(f.name).find(".LNK") != std::string::npos) continue;
    FolderList.push_back(f.name);
  }
}

void TShortcuts::CreateShortcut() {
  std::string w = GetWindowsDir();
  plat::ShellLink link;
  link.target = RunProgram;
  link.workingDirectory = RunProgram.substr(0, RunProgram.rfind('\\') + 1);
  link.iconLocation = IconFile;
  link.iconIndex = 0;
  auto saveInto = [&](const std::string& folder) {
    if (!PathIsDirectory(folder)) CreateDirectoryPath(folder);
    plat::SaveShellLink(link, folder + ProgramName + ".lnk");
  };
  if (FolderDesktop || FolderStartMenu) {
    if (FolderDesktop) {
      saveInto(w + "\\Desktop\\" + Folder + "\\");
      saveInto(w + "\\Start Menu\\Programs\\" + Folder + "\\");
    }
    if (FolderStartMenu) saveInto(w + "\\Start Menu\\" + Folder + "\\");
  } else {
    saveInto(w + "\\Start Menu\\Programs\\" + Folder + "\\");
  }
  if (Desktop) plat::SaveShellLink(link, w + "\\Desktop\\" + ProgramName + ".lnk");
  if (StartMenu) plat::SaveShellLink(link, w + "\\Start Menu\\" + ProgramName + ".lnk");
}

}  // namespace tovin
