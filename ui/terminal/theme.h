// The colours the terminal draws its windows in, taken from the system colours the backend
// reports (the classic Windows scheme): grey faces, white fields, a navy caption and selection.
#pragma once
#include <cstdint>

#include "ui/backend.h"
#include "ui/graphics.h"

namespace tovin::ui::terminal {

struct TTheme {
  uint32_t Face, FaceText, Field, FieldText, Selection, SelectionText, GrayText, Caption, CaptionText,
      InactiveCaption, InactiveCaptionText, Frame;
  static TTheme From(const TBackend& backend);
};

// A colour of the model as plain RGB, system colours through the backend.
uint32_t RgbOf(TColor color, const TBackend& backend);

}  // namespace tovin::ui::terminal
