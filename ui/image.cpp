#include "ui/image.h"

namespace tovin::ui {

TImage::TImage(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TImage::SetPictureFile(const std::string& path) {
  if (pictureFile_ == path) return;
  pictureFile_ = path;
  Changed();
}

void TImage::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  Changed();
}

}  // namespace tovin::ui
