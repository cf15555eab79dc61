#include "wizard/select_directory.h"

#include "platform/exception.h"

namespace tovin {

TForm3::TForm3(ui::TApplication& app)
    : ui::TForm(app, "Form3"),
      GroupBox1(*this, "GroupBox1"),
      Memo1(GroupBox1, "Memo1"),
      Label1(*this, "Label1"),
      Edit1(*this, "Edit1"),
      Label2(*this, "Label2"),
      DirectoryListBox1(*this, "DirectoryListBox1"),
      BitBtn1(*this, "BitBtn1"),
      BitBtn2(*this, "BitBtn2"),
      Label3(*this, "Label3"),
      DriveComboBox1(*this, "DriveComboBox1") {
  SetCaption("Select Directory");
  SetBorderStyle(ui::bsDialog);
  SetPosition(ui::poScreenCenter);
  SetFormStyle(ui::fsStayOnTop);
  SetClientSize(324, 354);
  GroupBox1.SetBounds(8, 4, 306, 80);
  Memo1.SetBounds(6, 14, 294, 60);
  Memo1.SetBorderStyle(ui::bsNone);
  Memo1.SetReadOnly(true);
  Memo1.SetTabStop(false);
  Memo1.SetLines({"Double click on directory to open folder or type ", "directory location in box bellow.", "",
                  "if directory does not exists it will automaticaly be", "created."});
  Label1.SetCaption("File Location");
  Label1.SetBounds(8, 90, 100, 16);
  Edit1.SetText("C:\\Program Files");
  Edit1.SetBounds(8, 108, 306, 21);
  Label2.SetCaption("Directories");
  Label2.SetBounds(8, 134, 100, 16);
  DirectoryListBox1.SetBounds(8, 152, 200, 150);
  BitBtn1.SetCaption("&OK");
  BitBtn1.SetModalResult(ui::mrOk);
  BitBtn1.SetDefault(true);
  BitBtn1.SetBounds(224, 152, 90, 27);
  BitBtn2.SetCaption("&Cancel");
  BitBtn2.SetModalResult(ui::mrCancel);
  BitBtn2.SetCancel(true);
  BitBtn2.SetBounds(224, 186, 90, 27);
  Label3.SetCaption("Drives:");
  Label3.SetBounds(8, 306, 100, 16);
  DriveComboBox1.SetBounds(8, 324, 200, 21);
  DriveComboBox1.DirList = &DirectoryListBox1;
  Label1.SetFocusControl(&Edit1);
  Label2.SetFocusControl(&DirectoryListBox1);
  Label3.SetFocusControl(&DriveComboBox1);
  DirectoryListBox1.OnChange = [this] { DirectoryListBox1Change(); };
  OnShow = [this] { FormShow(); };
}

void TForm3::FormShow() {
  SetActiveControl(&BitBtn1);
  try {
    DirectoryListBox1.SetDirectory(Edit1.Text());
  } catch (const Exception&) {
    // A destination that does not exist yet: the list stays where it was.
  }
}

void TForm3::DirectoryListBox1Change() { Edit1.SetText(DirectoryListBox1.Directory()); }

}  // namespace tovin
