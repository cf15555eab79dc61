// The background gradient: MulDiv's rounding, band colours and bounds, the fill a backend
// performs, the property rules and when the control repaints and drops its palette.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <stdexcept>

#include "ui/fountain_fill.h"
#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace tovin::test {
using namespace tovin::ui;
namespace {

TEST(MulDivTest, RoundsHalvesAwayFromZero) {
  struct {
    int number, numerator, denominator, result;
  } cases[] = {
      {1, 255, 2, 128},   {1, -255, 2, -128}, {3, 1, 2, 2},      {-3, 1, 2, -2},   {3, -1, 2, -2},
      {-3, -1, 2, 2},     {5, 1, -2, -3},     {-5, 1, -2, 3},    {1, 1, 3, 0},     {2, 1, 3, 1},
      {-2, 1, 3, -1},     {7, 1, 4, 2},       {1, 768, 255, 3},  {127, 768, 255, 382}, {128, 768, 255, 386},
      {255, 768, 255, 768}, {0, 5, 7, 0},     {0, -5, 7, 0},
      // The product is kept in 64 bits.
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, {INT_MAX / 2, 3, 2, 1610612735}, {INT_MAX, 2, 2, INT_MAX},
      // No denominator, or a result beyond 32 bits.
      {1, 2, 0, -1},      {0, 0, 0, -1},      {INT_MAX, INT_MAX, 1, -1}, {INT_MAX, 4, 2, -1}, {INT_MIN, 2, 1, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.result)
        << c.number << " * " << c.numerator << " / " << c.denominator;
}

TEST(BandColorTest, BlendsEachChannel) {
  struct {
    uint32_t from, to;
    int band, steps;
    uint32_t rgb;
  } cases[] = {
      // Red to blue in three bands: the middle one is red 127, green 0, blue 128.
      {0x0000FF, 0xFF0000, 0, 3, 0x0000FF},
      {0x0000FF, 0xFF0000, 1, 3, 0x80007F},
      {0x0000FF, 0xFF0000, 2, 3, 0xFF0000},
      // Blue to black: the ends are exact.
      {0xFF0000, 0x000000, 0, 255, 0xFF0000},
      {0xFF0000, 0x000000, 1, 255, 0xFE0000},
      {0xFF0000, 0x000000, 254, 255, 0x000000},
      {0x102030, 0x302010, 1, 2, 0x302010},
      {0x00FF00, 0xFF00FF, 1, 4, 0x55AA55},
      // A band past the last wraps inside its own channel, borrowing nothing from the next.
      {0x0000FF, 0x000000, 3, 3, 0x000080},
      // One band has nothing to blend.
      {0x123456, 0x654321, 0, 1, 0x123456},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BandColor(c.from, c.to, c.band, c.steps), c.rgb)
        << std::hex << c.from << " to " << c.to << " band " << std::dec << c.band << " of " << c.steps;
}

TEST(BandBoundsTest, StripesAndCircles) {
  struct {
    TFountainStyle style;
    int band, steps, width, height;
    TBandBounds bounds;
  } cases[] = {
      {fsHorizontal, 0, 255, 1024, 768, {0, 0, 1024, 3}},
      {fsHorizontal, 1, 255, 1024, 768, {0, 3, 1024, 6}},
      {fsHorizontal, 127, 255, 1024, 768, {0, 382, 1024, 386}},
      {fsHorizontal, 254, 255, 1024, 768, {0, 765, 1024, 768}},
      {fsVertical, 0, 3, 100, 40, {0, 0, 33, 40}},
      {fsVertical, 1, 3, 100, 40, {33, 0, 67, 40}},
      {fsVertical, 2, 3, 100, 40, {67, 0, 100, 40}},
      // 100 x 50: the diagonal 111.8 rounds to 112; circles centred on (50, 25).
      {fsCircular, 0, 4, 100, 50, {-6, -31, 106, 81}},
      {fsCircular, 1, 4, 100, 50, {8, -17, 92, 67}},
      {fsCircular, 3, 4, 100, 50, {36, 11, 64, 39}},
      // An odd diameter: left and top are the centre less half the diameter rounded down.
      {fsCircular, 1, 3, 100, 50, {13, -12, 88, 63}},
      // Odd sides: the centre is rounded down, and so is half a circle.
      {fsCircular, 0, 1, 3, 4, {-1, 0, 4, 5}},
  };
  for (const auto& c : cases) {
    TBandBounds b = BandBounds(c.style, c.band, c.steps, c.width, c.height);
    EXPECT_EQ(b, c.bounds) << "style " << c.style << " band " << c.band << ": " << b.Left << "," << b.Top << ","
                           << b.Right << "," << b.Bottom;
  }
}

TEST(ColorToRgbTest, ResolvesSystemColoursAndDropsPaletteFlags) {
  auto table = [](int index) { return 0x00AB0000u + static_cast<uint32_t>(index); };
  EXPECT_EQ(ColorToRgb(0x123456, table), 0x123456u);
  EXPECT_EQ(ColorToRgb(0x02123456, table), 0x123456u) << "palette-relative flag";
  EXPECT_EQ(ColorToRgb(static_cast<ui::TColor>(0x8000000Fu), table), 0xAB000Fu);
  EXPECT_EQ(ColorToRgb(static_cast<ui::TColor>(0x80000005u), DefaultSysColor), 0xFFFFFFu) << "clWindow";
  EXPECT_EQ(ColorToRgb(static_cast<ui::TColor>(0x8000000Fu), DefaultSysColor), 0xC0C0C0u) << "clBtnFace";
  EXPECT_EQ(ColorToRgb(static_cast<ui::TColor>(0x80000008u), DefaultSysColor), 0u) << "clWindowText";
  EXPECT_EQ(ColorToRgb(static_cast<ui::TColor>(0x800000FFu), DefaultSysColor), 0u) << "unknown index";
  EXPECT_EQ(ColorToRgb(static_cast<ui::TColor>(0x8000000Fu), nullptr), 0xC0C0C0u) << "no function: the table";
}

// Counts what the model tells its backend, per control.
class CountingBackend final : public ui::TBackend {
 public:
  void RunLoop(ui::TApplication&, ui::TForm&, const std::function<bool()>&) override {
    throw std::logic_error("no loop runs in these tests");
  }
  void ProcessMessages(ui::TApplication&) override {}
  ui::TMessageAnswer Ask(const ui::TMessageRequest&) override { throw std::logic_error("no box in these tests"); }
  void ControlChanged(ui::TControl& control, ui::TProperty) override { ++changed[&control]; }
  uint32_t SysColor(int index) const override { return index == 15 ? face : 0u; }
  uint32_t face = 0xC0C0C0;
  void Repaint(ui::TControl& control) override { ++repaints[&control]; }
  std::map<const ui::TControl*, int> changed, repaints;

  int ToldOthersThan(const ui::TControl& control) const {
    int told = 0;
    for (const auto* counts : {&changed, &repaints})
      for (const auto& [c, n] : *counts)
        if (c != &control) told += n;
    return told;
  }
};

class FountainFill : public ::testing::Test {
 protected:
  CountingBackend backend;
  ui::TApplication app{backend};
  ui::TForm form{app, "MainSetup"};
  TFountainFill fill{form, "MainScreen"};
  void SetUp() override { app.Announce(form); }
};

TEST_F(FountainFill, Defaults) {
  EXPECT_EQ(fill.FromColor(), 0xFFFF00);
  EXPECT_EQ(fill.ToColor(), 0);
  EXPECT_EQ(fill.Steps(), 20);
  EXPECT_EQ(fill.Style(), fsHorizontal);
  EXPECT_TRUE(fill.UsePalette());
  EXPECT_FALSE(fill.DrawOnScreen());
  EXPECT_EQ(fill.Width(), 50);
  EXPECT_EQ(fill.Height(), 50);
  EXPECT_FALSE(fill.PaletteCached());
}

TEST_F(FountainFill, StepsStayWithinOneTo255) {
  struct {
    int set, stored;
  } cases[] = {{0, 1}, {-5, 1}, {INT_MIN, 1}, {1, 1}, {2, 2}, {254, 254}, {255, 255}, {256, 255}, {300, 255},
               {INT_MAX, 255}};
  for (const auto& c : cases) {
    fill.SetSteps(c.set);
    EXPECT_EQ(fill.Steps(), c.stored) << c.set;
  }
}

TEST_F(FountainFill, OnlyARealChangeRepaints) {
  struct Case {
    const char* name;
    std::function<void()> setSame, setNew;
    bool repaints, dropsPalette;
  } cases[] = {
      {"FromColor", [&] { fill.SetFromColor(0xFFFF00); }, [&] { fill.SetFromColor(0x0000FF); }, true, true},
      {"ToColor", [&] { fill.SetToColor(0); }, [&] { fill.SetToColor(0x00FF00); }, true, true},
      {"Steps", [&] { fill.SetSteps(20); }, [&] { fill.SetSteps(3); }, true, true},
      {"Steps clamped to its value", [&] { fill.SetSteps(-1); }, [&] { fill.SetSteps(2); }, true, true},
      {"Style", [&] { fill.SetStyle(fsHorizontal); }, [&] { fill.SetStyle(fsCircular); }, true, false},
      {"UsePalette", [&] { fill.SetUsePalette(true); }, [&] { fill.SetUsePalette(false); }, true, true},
      {"DrawOnScreen", [&] { fill.SetDrawOnScreen(false); }, [&] { fill.SetDrawOnScreen(true); }, false, false},
  };
  for (const Case& c : cases) {
    if (std::string(c.name) == "Steps clamped to its value") fill.SetSteps(1);
    if (std::string(c.name) == "UsePalette") fill.SetUsePalette(true);
    fill.Palette();
    uint64_t version = fill.PaletteVersion();
    backend.changed.clear();
    backend.repaints.clear();

    c.setSame();
    EXPECT_EQ(backend.repaints[&fill], 0) << c.name;
    EXPECT_EQ(backend.changed[&fill], 0) << c.name;
    EXPECT_TRUE(fill.PaletteCached()) << c.name;
    EXPECT_EQ(fill.PaletteVersion(), version) << c.name;

    c.setNew();
    EXPECT_EQ(backend.repaints[&fill], c.repaints ? 1 : 0) << c.name;
    EXPECT_EQ(backend.changed[&fill], 1) << c.name;
    EXPECT_EQ(fill.PaletteCached(), !c.dropsPalette) << c.name;
    EXPECT_EQ(fill.PaletteVersion() != version, c.dropsPalette) << c.name;
    EXPECT_EQ(backend.ToldOthersThan(fill), 0) << c.name;
  }
}

TEST_F(FountainFill, PaletteHoldsTheBandColours) {
  fill.SetFromColor(0x0000FF);
  fill.SetToColor(0xFF0000);
  fill.SetSteps(3);
  EXPECT_EQ(fill.PaletteEntries(), (std::vector<uint32_t>{0x0000FF, 0x80007F, 0xFF0000}));
  EXPECT_EQ(fill.Palette(), fill.PaletteEntries());
  EXPECT_TRUE(fill.PaletteCached());

  // A dropped palette is built again from the new values.
  fill.SetToColor(0x00FF00);
  EXPECT_EQ(fill.Palette(), (std::vector<uint32_t>{0x0000FF, 0x00807F, 0x00FF00}));

  struct {
    const char* name;
    ui::TColor from, to;
    int steps;
  } none[] = {
      {"one band", 0x0000FF, 0xFF0000, 1},
      {"equal colours", 0x123456, 0x123456, 20},
      {"equal after resolving the system colour", static_cast<ui::TColor>(0x8000000Fu), 0xC0C0C0, 20},
      {"equal after dropping the palette flag", 0x02123456, 0x123456, 20},
  };
  for (const auto& c : none) {
    fill.SetFromColor(c.from);
    fill.SetToColor(c.to);
    fill.SetSteps(c.steps);
    EXPECT_TRUE(fill.PaletteEntries().empty()) << c.name;
    EXPECT_TRUE(fill.Palette().empty()) << c.name;
  }
}

TEST_F(FountainFill, BlueToBlackOn768RowsFillsEveryRowOnce) {
  fill.SetFromColor(0xFF0000);
  fill.SetSteps(255);
  std::vector<TGradientShape> shapes = fill.Shapes(1024, 768);
  ASSERT_EQ(shapes.size(), 255u);
  EXPECT_EQ(shapes.front().Rgb, 0xFF0000u);
  EXPECT_EQ(shapes.back().Rgb, 0u);
  int row = 0;
  std::vector<int> tallBands;
  for (size_t i = 0; i < shapes.size(); ++i) {
    const TGradientShape& s = shapes[i];
    EXPECT_FALSE(s.Ellipse);
    EXPECT_TRUE(s.PaletteRelative);
    EXPECT_EQ(s.Left, 0);
    EXPECT_EQ(s.Right, 1024);
    EXPECT_EQ(s.Top, row) << "band " << i << " follows the one before";
    int rows = s.Bottom - s.Top;
    EXPECT_TRUE(rows == 3 || rows == 4) << "band " << i << " is " << rows << " rows";
    if (rows == 4) tallBands.push_back(static_cast<int>(i));
    if (i > 0) {
      EXPECT_LT(s.Rgb, shapes[i - 1].Rgb) << "band " << i << " is darker";
    }
    row = s.Bottom;
  }
  EXPECT_EQ(row, 768);
  EXPECT_EQ(tallBands, (std::vector<int>{42, 127, 212}));
}

TEST_F(FountainFill, VerticalBandsRunLeftToRight) {
  fill.SetFromColor(0x0000FF);
  fill.SetToColor(0xFF0000);
  fill.SetSteps(3);
  fill.SetStyle(fsVertical);
  fill.SetUsePalette(false);
  std::vector<TGradientShape> expected = {
      {false, 0, 0, 33, 40, 0x0000FF, false},
      {false, 33, 0, 67, 40, 0x80007F, false},
      {false, 67, 0, 100, 40, 0xFF0000, false},
  };
  EXPECT_EQ(fill.Shapes(100, 40), expected);
}

TEST_F(FountainFill, CirclesShrinkTowardsTheCentre) {
  fill.SetSteps(4);
  fill.SetStyle(fsCircular);
  std::vector<TGradientShape> shapes = fill.Shapes(100, 50);
  ASSERT_EQ(shapes.size(), 4u);
  EXPECT_EQ(shapes[0], (TGradientShape{true, -6, -31, 106, 81, 0xFFFF00, true})) << "the largest, in FromColor";
  EXPECT_EQ(shapes[3], (TGradientShape{true, 36, 11, 64, 39, 0x000000, true})) << "the smallest, in ToColor";
  for (size_t i = 1; i < shapes.size(); ++i) {
    EXPECT_LT(shapes[i].Right - shapes[i].Left, shapes[i - 1].Right - shapes[i - 1].Left);
    EXPECT_EQ(shapes[i].Right - shapes[i].Left, shapes[i].Bottom - shapes[i].Top) << "a circle";
    EXPECT_NEAR((shapes[i].Left + shapes[i].Right) / 2.0, 50, 0.5);
    EXPECT_NEAR((shapes[i].Top + shapes[i].Bottom) / 2.0, 25, 0.5);
  }
}

TEST_F(FountainFill, OneFlatFillWhenThereIsNothingToBlend) {
  struct {
    const char* name;
    ui::TColor from, to;
    int steps;
    TFountainStyle style;
  } cases[] = {
      {"equal colours", 0x336699, 0x336699, 255, fsHorizontal},
      {"equal colours, circular", 0x336699, 0x336699, 255, fsCircular},
      {"one band", 0x336699, 0x000000, 1, fsVertical},
      {"steps set to 0", 0x336699, 0x000000, 0, fsCircular},
  };
  for (const auto& c : cases) {
    fill.SetFromColor(c.from);
    fill.SetToColor(c.to);
    fill.SetSteps(c.steps);
    fill.SetStyle(c.style);
    EXPECT_EQ(fill.Shapes(640, 480), (std::vector<TGradientShape>{{false, 0, 0, 640, 480, 0x336699, false}})) << c.name;
  }
}

TEST(FountainFillSysColor, ResolvedWhenDrawn) {
  CountingBackend backend;
  ui::TApplication app{backend};
  ui::TForm form{app, "form"};
  TFountainFill fill(form, "fill");
  fill.SetFromColor(static_cast<ui::TColor>(0x8000000Fu));
  fill.SetToColor(0xC0C0C0);
  fill.SetSteps(2);
  EXPECT_EQ(fill.Shapes(10, 10).size(), 1u) << "the button face is the end colour";
  backend.face = 0x000000;  // the user picked another scheme
  std::vector<TGradientShape> shapes = fill.Shapes(10, 10);
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_EQ(shapes[0].Rgb, 0u);
  EXPECT_EQ(shapes[1].Rgb, 0xC0C0C0u);
}

}  // namespace
}  // namespace tovin::test
