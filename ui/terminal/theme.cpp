#include "ui/terminal/theme.h"

#include "ui/colors.h"

namespace tovin::ui::terminal {

uint32_t RgbOf(TColor color, const TBackend& backend) {
  return ColorToRgb(color, [&backend](int index) { return backend.SysColor(index); });
}

TTheme TTheme::From(const TBackend& backend) {
  auto sys = [&backend](int index) { return backend.SysColor(index) & 0xFFFFFF; };
  // COLOR_BTNFACE 15, BTNTEXT 18, WINDOW 5, WINDOWTEXT 8, HIGHLIGHT 13, HIGHLIGHTTEXT 14,
  // GRAYTEXT 17, ACTIVECAPTION 2, CAPTIONTEXT 9, INACTIVECAPTION 3, INACTIVECAPTIONTEXT 19,
  // WINDOWFRAME 6.
  return {sys(15), sys(18), sys(5), sys(8), sys(13), sys(14), sys(17), sys(2), sys(9), sys(3), sys(19), sys(6)};
}

}  // namespace tovin::ui::terminal
