#include "ui/image.h"

namespace tovin::ui {

TImage::TImage(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TImage::SetPictureFile(const std::string& path) {
  bool changed = programIcon_ && !path.empty();
  if (!path.empty()) programIcon_ = false;
  if (!Assign(pictureFile_, path, prPicture) && changed) Changed(prPicture);
}

void TImage::SetProgramIcon(bool value) {
  bool changed = value && !pictureFile_.empty();
  if (value) pictureFile_.clear();
  if (!Assign(programIcon_, value, prPicture) && changed) Changed(prPicture);
}

void TImage::SetTransparent(bool value) { Assign(transparent_, value, prAppearance); }

}  // namespace tovin::ui
