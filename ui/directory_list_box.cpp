#include "ui/directory_list_box.h"

#include <cctype>

#include "platform/exception.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tovin::ui {

TDirectoryListBox::TDirectoryListBox(TControl& parent, std::string name) : TListBox(parent, std::move(name)) {
  try {
    SetDirectory(plat::GetCurrentDirectory());
  } catch (const Exception&) {
    // No current folder to show (it has gone): the list starts empty.
  }
}

void TDirectoryListBox::SetDirectory(const std::string& path) {
  std::string full = plat::GetFullPathName(path);
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  uint32_t a = plat::GetFileAttributes(full);
  if (a == plat::kInvalidAttributes || !(a & plat::kAttrDirectory))
    throw EInOutError(plat::SystemErrorMessage(a == plat::kInvalidAttributes ? plat::GetLastError() : 267));
  std::vector<std::string> items, paths;
  std::string root = full.substr(0, 3), walked = root;
  items.push_back(root);
  paths.push_back(root);
  size_t start = 3;
  while (start < full.size()) {
    size_t sep = full.find('\\', start);
    if (sep == std::string::npos) sep = full.size();
    std::string part = full.substr(start, sep - start);
    walked += (walked.back() == '\\' ? "" : "\\") + part;
    items.push_back(std::string(paths.size(), ' ') + part);
    paths.push_back(walked);
    start = sep + 1;
  }
  size_t depth = paths.size();
  std::string prefix = full.back() == '\\' ? full : full + "\\";
  for (const auto& f : plat::FindFiles(prefix + "*.*", plat::kAttrDirectory)) {
    if (!(f.attributes & plat::kAttrDirectory) || f.name == "." || f.name == "..") continue;
    items.push_back(std::string(depth, ' ') + f.name);
    paths.push_back(prefix + f.name);
  }
  directory_ = full;
  paths_ = paths;
  SetItems(items);
  SetItemIndex(static_cast<int>(depth) - 1);
  Raise(OnChange);
}

std::string TDirectoryListBox::ItemPath(int index) const {
  return index >= 0 && static_cast<size_t>(index) < paths_.size() ? paths_[static_cast<size_t>(index)] : std::string();
}

bool TDirectoryListBox::OpenItem(int index) {
  std::string path = ItemPath(index);
  if (path.empty()) return false;
  SetDirectory(path);
  return true;
}

void TDirectoryListBox::DoubleClicked() {
  if (ItemIndex() >= 0) OpenItem(ItemIndex());
  TListBox::DoubleClicked();
}

TDriveComboBox::TDriveComboBox(TControl& parent, std::string name) : TListBox(parent, std::move(name)) { Refresh(); }

void TDriveComboBox::Refresh() {
  std::vector<std::string> drives;
  for (char d = 'C'; d <= 'Z'; ++d)
    if (plat::GetFileAttributes(std::string(1, d) + ":\\") != plat::kInvalidAttributes) drives.push_back(std::string(1, d) + ":");
  SetItems(drives);
  std::string current = plat::GetCurrentDirectory();
  for (size_t i = 0; i < drives.size(); ++i)
    if (current.size() >= 2 && plat::UpperCase(current.substr(0, 2)) == drives[i]) SetItemIndex(static_cast<int>(i));
}

void TDriveComboBox::SetDrive(const std::string& drive) {
  if (drive.empty()) return;
  std::string d(1, static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0]))));
  d += ":";
  drive_ = d;
  for (size_t i = 0; i < Items().size(); ++i)
    if (Items()[i] == d) SetItemIndex(static_cast<int>(i));
  if (DirList && (DirList->Directory().empty() || DirList->Directory().compare(0, 2, d) != 0)) DirList->SetDirectory(d + "\\");
}

}  // namespace tovin::ui
