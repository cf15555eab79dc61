// Colours of the model as RGB: system colours resolved through a backend (GetSysColor on
// Win32) or the classic standard scheme, palette flags dropped.
#pragma once
#include <cstdint>
#include <functional>

#include "ui/graphics.h"

namespace tovin::ui {

// Resolves a system colour (its index, the low byte of a colour with the sign bit set) to RGB.
using TSysColorFunc = std::function<uint32_t(int index)>;
// The classic Windows standard scheme; 0 for an index it does not know (as GetSysColor).
uint32_t DefaultSysColor(int index);
// A colour of the model as plain RGB: a system colour through sysColor (the standard scheme
// when it is empty), anything else with its top byte (palette index and palette-relative
// flags) cleared.
uint32_t ColorToRgb(TColor color, const TSysColorFunc& sysColor);

}  // namespace tovin::ui
