#include "ui/colors.h"

#include <iterator>

namespace tovin::ui {

uint32_t DefaultSysColor(int index) {
  // COLOR_SCROLLBAR (0) to COLOR_MENUBAR (30), 0x00BBGGRR.
  static const uint32_t kStandard[] = {
      0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,  // 0-7
      0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0,  // 8-15
      0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000,  // 16-23
      0xE1FFFF, 0x000000, 0x800000, 0xD08410, 0xC0C0C0, 0x800000, 0xC0C0C0,            // 24-30
  };
  if (index < 0 || index >= static_cast<int>(std::size(kStandard))) return 0;
  return kStandard[index];
}

uint32_t ColorToRgb(TColor color, const TSysColorFunc& sysColor) {
  if (color < 0) {
    int index = static_cast<int>(static_cast<uint32_t>(color) & 0xFF);
    return (sysColor ? sysColor(index) : DefaultSysColor(index)) & 0xFFFFFF;
  }
  return static_cast<uint32_t>(color) & 0xFFFFFF;
}

}  // namespace tovin::ui
