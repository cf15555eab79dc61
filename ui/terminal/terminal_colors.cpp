#include "ui/terminal/terminal_colors.h"

#include <climits>
#include <cstdlib>

namespace tovin::ui::terminal {
namespace {

struct Rgb {
  int r, g, b;
};

Rgb Split(uint32_t rgb) { return {static_cast<int>(rgb & 0xFF), static_cast<int>(rgb >> 8 & 0xFF), static_cast<int>(rgb >> 16 & 0xFF)}; }

int Distance(Rgb a, Rgb b) { return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b); }

// The values of xterm's sixteen basic colours, which most terminals keep close to.
const Rgb kBasic[16] = {{0, 0, 0},     {205, 0, 0},   {0, 205, 0},   {205, 205, 0}, {0, 0, 238},   {205, 0, 205},
                        {0, 205, 205}, {229, 229, 229}, {127, 127, 127}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
                        {92, 92, 255}, {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};

int NearestBasic(Rgb c, int count) {
  int best = 0, bestDistance = INT_MAX;
  for (int i = 0; i < count; ++i)
    if (int d = Distance(c, kBasic[i]); d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  return best;
}

const int kCubeLevels[6] = {0, 95, 135, 175, 215, 255};

int NearestLevel(int v) {
  int best = 0;
  for (int i = 1; i < 6; ++i)
    if (std::abs(kCubeLevels[i] - v) < std::abs(kCubeLevels[best] - v)) best = i;
  return best;
}

int Nearest256(Rgb c) {
  int r = NearestLevel(c.r), g = NearestLevel(c.g), b = NearestLevel(c.b);
  int cube = 16 + 36 * r + 6 * g + b;
  int cubeDistance = Distance(c, {kCubeLevels[r], kCubeLevels[g], kCubeLevels[b]});
  // The grey ramp: 24 steps of 10 from 8 to 238.
  int average = (c.r + c.g + c.b) / 3;
  int step = average < 8 ? 0 : average > 238 ? 23 : (average - 8 + 5) / 10;
  int grey = 8 + 10 * step;
  int greyDistance = Distance(c, {grey, grey, grey});
  return greyDistance < cubeDistance ? 232 + step : cube;
}

}  // namespace

bool AnnouncesTrueColor(const std::string& colorTerm) { return colorTerm == "truecolor" || colorTerm == "24bit"; }

TColorMode ModeForColors(int colors, bool direct) {
  if (direct && colors >= 0x1000000) return cmDirect;
  if (colors >= 256) return cm256;
  if (colors >= 8) return cm8;
  return cmMono;
}

TTermColor TextColor(uint32_t rgb, TColorMode mode) {
  Rgb c = Split(rgb);
  switch (mode) {
    case cmDirect: {
      int direct = c.r << 16 | c.g << 8 | c.b;
      // A direct-colour terminal takes 0 to 7 for its first eight colours: those blues are black.
      return {direct < 8 ? 0 : direct, false};
    }
    case cm256: return {Nearest256(c), false};
    case cm8: {
      int i = NearestBasic(c, 16);
      return {i & 7, i >= 8};
    }
    case cmMono: return {Brightness(rgb) >= 128 ? 7 : 0, false};
  }
  return {};
}

TTermColor BackgroundColor(uint32_t rgb, TColorMode mode) {
  if (mode != cm8) return TextColor(rgb, mode);
  return {NearestBasic(Split(rgb), 8), false};
}

int Brightness(uint32_t rgb) {
  Rgb c = Split(rgb);
  return (c.r * 299 + c.g * 587 + c.b * 114) / 1000;
}

}  // namespace tovin::ui::terminal
