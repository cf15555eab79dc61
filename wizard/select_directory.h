// TForm3: the "Select Directory" dialog of the destination page. It only picks a path; nothing
// is created on disk here.
#pragma once
#include "ui/ui.h"

namespace tovin {

class TForm3 : public ui::TForm {
 public:
  explicit TForm3(ui::TApplication& app);

  void FormShow();
  void DirectoryListBox1Change();

  ui::TGroupBox GroupBox1;
  ui::TMemo Memo1;
  ui::TLabel Label1;
  ui::TEdit Edit1;
  ui::TLabel Label2;
  ui::TDirectoryListBox DirectoryListBox1;
  ui::TButton BitBtn1, BitBtn2;
  ui::TLabel Label3;
  ui::TDriveComboBox DriveComboBox1;
};

}  // namespace tovin
