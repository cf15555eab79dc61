// Which colours a terminal gets for the model's RGB colours.
//
// True colour when the terminal announces it (COLORTERM=truecolor or 24bit) and a direct-colour
// description of it exists; else the nearest of the 256-colour palette's fixed part (the 6x6x6
// cube and the grey ramp, whose values every 256-colour terminal shares; the first sixteen are
// each terminal's own); else the nearest of the eight basic colours, text also of their bright
// forms (bold); else none (monochrome: reverse video marks what colour would).
#pragma once
#include <cstdint>
#include <string>

namespace tovin::ui::terminal {

enum TColorMode { cmDirect, cm256, cm8, cmMono };

// COLORTERM's value announces 24-bit colour.
bool AnnouncesTrueColor(const std::string& colorTerm);
// The mode for a terminal with that many colours (its description's count).
TColorMode ModeForColors(int colors, bool direct);

struct TTermColor {
  int Index = 0;        // a palette index, or 0xRRGGBB in cmDirect
  bool Bright = false;  // cm8 text: the bright form, drawn bold
  bool operator==(const TTermColor&) const = default;
};
// rgb is 0x00BBGGRR, as the model has it.
TTermColor TextColor(uint32_t rgb, TColorMode mode);
TTermColor BackgroundColor(uint32_t rgb, TColorMode mode);

// Perceived brightness 0..255, to tell light from dark where only two can be had.
int Brightness(uint32_t rgb);

}  // namespace tovin::ui::terminal
