// TImage: a picture shown from a file. The model only keeps the file's path; the form that
// loads the picture sets Width and Height, and the backend draws it.
#pragma once
#include <string>

#include "ui/control.h"

namespace tovin::ui {

class TImage : public TControl {
 public:
  TImage(TControl& parent, std::string name);

  const std::string& PictureFile() const { return pictureFile_; }
  void SetPictureFile(const std::string& path);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

 private:
  std::string pictureFile_;
  bool transparent_ = false;
};

}  // namespace tovin::ui
