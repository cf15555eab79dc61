// TImage: a picture without a window of its own, painted by its parent: a picture file, or the
// program's own icon. The model keeps only where the picture comes from; the form that loads a
// file sets Width and Height, and the backend draws it.
#pragma once
#include <string>

#include "ui/control.h"

namespace tovin::ui {

class TImage : public TControl {
 public:
  TImage(TControl& parent, std::string name);

  const std::string& PictureFile() const { return pictureFile_; }
  // Shows the picture in the file at path (clearing the program icon).
  void SetPictureFile(const std::string& path);
  // Shows the icon of the running program (clearing the picture file).
  bool ProgramIcon() const { return programIcon_; }
  void SetProgramIcon(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

  bool Windowed() const override { return false; }

 private:
  std::string pictureFile_;
  bool programIcon_ = false;
  bool transparent_ = false;
};

}  // namespace tovin::ui
