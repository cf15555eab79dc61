#include "ui/terminal/gradient_cells.h"

namespace tovin::ui::terminal {
namespace {

int Sample(int index, int count, int pixels) {
  if (count <= 1 || pixels <= 1) return pixels / 2;
  return MulDiv(index, pixels - 1, count - 1);
}

bool Covers(const TGradientShape& s, int x, int y) {
  if (x < s.Left || x >= s.Right || y < s.Top || y >= s.Bottom) return false;
  if (!s.Ellipse) return true;
  // Inside the ellipse that the bounds enclose, measured at the pixel's centre.
  double rx = (s.Right - s.Left) / 2.0, ry = (s.Bottom - s.Top) / 2.0;
  double dx = (x + 0.5 - (s.Left + rx)) / rx, dy = (y + 0.5 - (s.Top + ry)) / ry;
  return dx * dx + dy * dy <= 1.0;
}

}  // namespace

std::vector<uint32_t> GradientCells(const std::vector<TGradientShape>& shapes, int width, int height, int columns,
                                    int rows) {
  std::vector<uint32_t> cells(static_cast<size_t>(columns > 0 && rows > 0 ? columns * rows : 0), 0);
  if (shapes.empty()) return cells;
  for (int r = 0; r < rows; ++r) {
    int y = Sample(r, rows, height);
    for (int c = 0; c < columns; ++c) {
      int x = Sample(c, columns, width);
      uint32_t colour = shapes.front().Rgb;  // below every band lies the first one's colour
      for (auto s = shapes.rbegin(); s != shapes.rend(); ++s)
        if (Covers(*s, x, y)) {
          colour = s->Rgb;
          break;
        }
      cells[static_cast<size_t>(r * columns + c)] = colour & 0xFFFFFF;
    }
  }
  return cells;
}

}  // namespace tovin::ui::terminal
