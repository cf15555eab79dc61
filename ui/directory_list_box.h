// TDirectoryListBox: the folders of one drive as a tree list: the open folder's ancestors from
// the drive's root down, then its sub-folders. Opening an item (double-click or Enter) makes it
// the current folder. TDriveComboBox: the drives a user can pick, bound to such a list.
#pragma once
#include <string>
#include <vector>

#include "ui/list_box.h"

namespace tovin::ui {

class TDirectoryListBox : public TListBox {
 public:
  // Starts in the current folder, as a folder list of the class library does.
  TDirectoryListBox(TControl& parent, std::string name);

  // The current folder as a full path ("C:\Program Files"); a drive's root keeps its backslash.
  const std::string& Directory() const { return directory_; }
  // Makes path the current folder and raises OnChange. Raises EInOutError with the system's
  // message when it is no existing folder; nothing changes then.
  void SetDirectory(const std::string& path);
  // The full path an item stands for.
  std::string ItemPath(int index) const;
  // What a double-click on an item does: opens it. False when the index is no item.
  bool OpenItem(int index);

  TNotifyEvent OnChange;

 protected:
  void DoubleClicked() override;

 private:
  std::string directory_;
  std::vector<std::string> paths_;  // parallel to Items()
};

class TDriveComboBox : public TListBox {
 public:
  TDriveComboBox(TControl& parent, std::string name);
  // "C:" style; the list's drive follows.
  const std::string& Drive() const { return drive_; }
  void SetDrive(const std::string& drive);
  // The drives found from C: to Z: (floppy letters are not probed: that would ask for a disk),
  // the drive of the current folder selected.
  void Refresh();
  TDirectoryListBox* DirList = nullptr;

 private:
  std::string drive_;
};

}  // namespace tovin::ui
