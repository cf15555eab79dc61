// The background gradient on cells. The model works out the fill in pixels (TFountainFill::
// Shapes, with the band arithmetic of the real control); a cell shows the colour of the last
// shape that covers its sample point. The sample points run from the first pixel to the last
// in each direction, so the first and the last row (or column) of cells show the first and the
// last band exactly, as the first and last pixel rows of the real window do.
#pragma once
#include <cstdint>
#include <vector>

#include "ui/fountain_fill.h"

namespace tovin::ui::terminal {

// Row-major colours (0x00BBGGRR) of columns x rows cells over an area of width x height pixels.
std::vector<uint32_t> GradientCells(const std::vector<TGradientShape>& shapes, int width, int height, int columns,
                                    int rows);

}  // namespace tovin::ui::terminal
