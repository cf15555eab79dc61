#include "ui/fountain_fill.h"

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

#include <cmath>
#include <cstdlib>
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

TFountainFill::TFountainFill(TControl& parent, std::string name) : TControl(parent, std::move(name)) {
  StoreBounds(Left(), Top(), 50, 50);
}

void TFountainFill::PropertyChanged(bool dropsPalette) {
  if (dropsPalette) {
    palette_.clear();
    paletteCached_ = false;
    ++paletteVersion_;
  }
  Changed(prGradient);
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

void TFountainFill::SetDrawOnScreen(bool value) { Assign(drawOnScreen_, value, prGradient); }

uint32_t TFountainFill::Rgb(TColor color) const {
  if (!Form()) return ColorToRgb(color, DefaultSysColor);
  const TBackend& backend = Form()->Application().Backend();
  return ColorToRgb(color, [&backend](int index) { return backend.SysColor(index); });
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
