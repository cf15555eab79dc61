// TShortcuts: where the shell keeps the Start menu and the desktop (fixed folders below the
// Windows directory), the folders of the Programs folder, and the link files of one program.
#pragma once
#include <string>
#include <vector>

namespace tovin {

class TShortcuts {
 public:
  TShortcuts() { FillFolderList(); }

  std::string RunProgram;
  std::string Folder;
  std::string ProgramName;
  bool Desktop = false;
  bool StartMenu = false;
  bool FolderDesktop = false;
  bool FolderStartMenu = false;
  std::vector<std::string> FolderList;
  std::string IconFile;

  // The entries of the Programs folder that are neither hidden-dot names nor links.
  void FillFolderList();
  // Writes the link files the flags ask for, making their folders first. A folder that cannot
  // be made or a link that cannot be saved goes unnoticed: the caller carries on either way.
  void CreateShortcut();
};

}  // namespace tovin
