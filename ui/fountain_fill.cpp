#include "ui/fountain_fill.h"

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>

namespace tovin::ui {

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  int64_t product = static_cast<int64_t>(number) * numerator;
  int64_t quotient = product / denominator;
  int64_t remainder = product % denominator;
  // Halves round away from zero: the remainder's size against half the divisor decides.
  if (2 * std::llabs(remainder) >= std::llabs(static_cast<int64_t>(denominator)))
    quotient += (product < 0) == (denominator < 0) ? 1 : -1;
  if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(quotient);
}

uint32_t BandColor(uint32_t fromRgb, uint32_t toRgb, int band, int steps) {
  if (steps < 2) return fromRgb & 0xFFFFFF;
  uint32_t rgb = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int from = static_cast<int>(fromRgb >> shift & 0xFF);
    int to = static_cast<int>(toRgb >> shift & 0xFF);
    uint32_t channel = static_cast<uint32_t>(from + MulDiv(band, to - from, steps - 1)) & 0xFF;
    rgb |= channel << shift;
  }
  return rgb;
}

TBandBounds BandBounds(TFountainStyle style, int band, int steps, int width, int height) {
  switch (style) {
    case fsHorizontal:
      return {0, MulDiv(band, height, steps), width, MulDiv(band + 1, height, steps)};
    case fsVertical:
      return {MulDiv(band, width, steps), 0, MulDiv(band + 1, width, steps), height};
    case fsCircular: {
      double w = width, h = height;
      int diagonal = static_cast<int>(std::sqrt(w * w + h * h) + 0.5);
      int f = MulDiv(steps - band, diagonal, steps);
      int left = width / 2 - f / 2;
      int top = height / 2 - f / 2;
      return {left, top, left + f, top + f};
    }
  }
  return {};
}

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

TFountainFill::TFountainFill(TControl& parent, std::string name, TSysColorFunc sysColor)
    : TControl(parent, std::move(name)), sysColor_(std::move(sysColor)) {
  StoreBounds(Left(), Top(), 50, 50);
}

void TFountainFill::PropertyChanged(bool dropsPalette) {
  if (dropsPalette) {
    palette_.clear();
    paletteCached_ = false;
    ++paletteVersion_;
  }
  Changed();
  Repaint();
}

void TFountainFill::SetFromColor(TColor value) {
  if (fromColor_ == value) return;
  fromColor_ = value;
  PropertyChanged(true);
}

void TFountainFill::SetToColor(TColor value) {
  if (toColor_ == value) return;
  toColor_ = value;
  PropertyChanged(true);
}

void TFountainFill::SetSteps(int value) {
  if (value < 1) value = 1;
  if (value > 255) value = 255;
  if (steps_ == value) return;
  steps_ = value;
  PropertyChanged(true);
}

void TFountainFill::SetStyle(TFountainStyle value) {
  if (style_ == value) return;
  style_ = value;
  PropertyChanged(false);
}

void TFountainFill::SetUsePalette(bool value) {
  if (usePalette_ == value) return;
  usePalette_ = value;
  PropertyChanged(true);
}

void TFountainFill::SetDrawOnScreen(bool value) {
  if (drawOnScreen_ == value) return;
  drawOnScreen_ = value;
  Changed();
}

std::vector<uint32_t> TFountainFill::PaletteEntries() const {
  uint32_t from = FromRgb(), to = ToRgb();
  std::vector<uint32_t> entries;
  if (steps_ < 2 || from == to) return entries;
  entries.reserve(static_cast<size_t>(steps_));
  for (int band = 0; band < steps_; ++band) entries.push_back(BandColor(from, to, band, steps_));
  return entries;
}

const std::vector<uint32_t>& TFountainFill::Palette() {
  if (!paletteCached_) {
    palette_ = PaletteEntries();
    paletteCached_ = true;
  }
  return palette_;
}

std::vector<TGradientShape> TFountainFill::Shapes(int width, int height) const {
  uint32_t from = FromRgb(), to = ToRgb();
  if (steps_ < 2 || from == to) return {{false, 0, 0, width, height, from, false}};
  std::vector<TGradientShape> shapes;
  shapes.reserve(static_cast<size_t>(steps_));
  for (int band = 0; band < steps_; ++band) {
    TBandBounds b = BandBounds(style_, band, steps_, width, height);
    shapes.push_back({style_ == fsCircular, b.Left, b.Top, b.Right, b.Bottom, BandColor(from, to, band, steps_),
                      usePalette_});
  }
  return shapes;
}

}  // namespace tovin::ui
