// TFountainFill: the colour gradient that covers the background window. The model keeps the
// properties and works out the exact fill (band rectangles or circles, band colours, the
// palette); a backend only performs the shapes it is given.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/colors.h"
#include "ui/control.h"

namespace tovin::ui {

enum TFountainStyle { fsHorizontal, fsVertical, fsCircular };

// Windows' MulDiv: number * numerator / denominator through a 64-bit product, rounded to the
// nearest integer with halves away from zero; -1 when denominator is 0 or the result does not
// fit in 32 bits.
int MulDiv(int number, int numerator, int denominator);

// Colour of band `band` of `steps` bands from fromRgb to toRgb (plain 0x00BBGGRR): each channel
// is from + MulDiv(band, to - from, steps - 1), wrapped to 8 bits. With fewer than two bands
// there is nothing to blend and the result is fromRgb.
uint32_t BandColor(uint32_t fromRgb, uint32_t toRgb, int band, int steps);

struct TBandBounds {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TBandBounds&) const = default;
};

// Where band `band` of `steps` goes in an area of width x height: a stripe for fsHorizontal
// (top to bottom) and fsVertical (left to right), the bounding box of a circle for fsCircular
// (the largest first, shrinking towards the centre). steps must be at least 1.
TBandBounds BandBounds(TFountainStyle style, int band, int steps, int width, int height);

// One fill the backend performs: a rectangle or an ellipse inside the bounds (right and bottom
// excluded, as GDI's Rectangle and Ellipse without a pen), in Rgb; PaletteRelative asks for the
// brush colour Rgb + 0x02000000, so that the logical palette of the band colours is used.
struct TGradientShape {
  bool Ellipse = false;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  uint32_t Rgb = 0;
  bool PaletteRelative = false;
  bool operator==(const TGradientShape&) const = default;
};

class TFountainFill : public TControl {
 public:
  // System colours are resolved by the backend when the gradient is drawn.
  TFountainFill(TControl& parent, std::string name);
  bool Windowed() const override { return false; }

  // Every setter ignores its current value. Any other value is stored and repaints the control,
  // except DrawOnScreen, which takes effect at the next paint. Changes of the colours, Steps and
  // UsePalette also drop the cached palette.
  TColor FromColor() const { return fromColor_; }
  void SetFromColor(TColor value);
  TColor ToColor() const { return toColor_; }
  void SetToColor(TColor value);
  // Number of bands, 1 to 255: less than 1 is stored as 1, more than 255 as 255.
  int Steps() const { return steps_; }
  void SetSteps(int value);
  TFountainStyle Style() const { return style_; }
  void SetStyle(TFountainStyle value);
  // Realise a logical palette of the band colours before drawing (and fill with
  // palette-relative colours).
  bool UsePalette() const { return usePalette_; }
  void SetUsePalette(bool value);
  // Draw straight onto the screen instead of into an off-screen picture first.
  bool DrawOnScreen() const { return drawOnScreen_; }
  void SetDrawOnScreen(bool value);

  // FromColor and ToColor as plain RGB, system colours resolved now.
  uint32_t FromRgb() const { return Rgb(fromColor_); }
  uint32_t ToRgb() const { return Rgb(toColor_); }

  // The band colours, band 0 first; none when there are fewer than two bands or both colours
  // are the same RGB, since one flat fill needs no palette.
  std::vector<uint32_t> PaletteEntries() const;
  // The palette the next paint realises: built on the first call, then kept until a change drops
  // it. PaletteVersion changes whenever it is dropped, so a backend knows when the palette
  // object it made from it is stale.
  const std::vector<uint32_t>& Palette();
  bool PaletteCached() const { return paletteCached_; }
  uint64_t PaletteVersion() const { return paletteVersion_; }

  // The fill of an area of width x height, in drawing order: a single flat fill in FromColor
  // (never palette-relative) when there are fewer than two bands or the colours are the same
  // RGB; otherwise one shape per band with PaletteRelative = UsePalette.
  std::vector<TGradientShape> Shapes(int width, int height) const;

 private:
  void PropertyChanged(bool dropsPalette);
  uint32_t Rgb(TColor color) const;

  TColor fromColor_ = 0xFFFF00;  // cyan
  TColor toColor_ = 0;
  int steps_ = 20;
  TFountainStyle style_ = fsHorizontal;
  bool usePalette_ = true;
  bool drawOnScreen_ = false;
  std::vector<uint32_t> palette_;
  bool paletteCached_ = false;
  uint64_t paletteVersion_ = 0;
};

}  // namespace tovin::ui
