#include "ui/terminal/control_painter.h"

#include <algorithm>

#include "ui/terminal/gradient_cells.h"
#include "ui/ui.h"

namespace tovin::ui::terminal {
namespace {

bool EnabledAll(const TControl& control) {
  for (const TControl* c = &control; c; c = c->Parent())
    if (!c->Enabled()) return false;
  return true;
}

int Middle(const TCellRect& r) { return r.Top + std::max(r.Height() - 1, 0) / 2; }

std::string Fit(const std::string& text, int width) {
  if (width <= 0) return {};
  return static_cast<int>(text.size()) <= width ? text : text.substr(0, static_cast<size_t>(width));
}

void WrapInto(std::vector<std::string>& out, const std::string& line, int width) {
  if (width <= 0 || static_cast<int>(line.size()) <= width) {
    out.push_back(line);
    return;
  }
  size_t pos = 0;
  while (pos < line.size()) {
    size_t room = static_cast<size_t>(width);
    if (line.size() - pos <= room) {
      out.push_back(line.substr(pos));
      break;
    }
    size_t cut = line.rfind(' ', pos + room);
    if (cut == std::string::npos || cut <= pos) cut = pos + room;  // a word wider than the width
    out.push_back(line.substr(pos, cut - pos));
    pos = cut;
    while (pos < line.size() && line[pos] == ' ') ++pos;
  }
}

}  // namespace

std::vector<std::string> MemoDisplayLines(const TMemo& memo, int width) {
  bool wraps = memo.WordWrap() && memo.ScrollBars() != ssHorizontal && memo.ScrollBars() != ssBoth;
  std::vector<std::string> lines;
  for (const std::string& line : memo.Lines()) {
    if (wraps) WrapInto(lines, line, width);
    else lines.push_back(line);
  }
  return lines;
}

void TPainter::BeginFrame() {
  theme_ = TTheme::From(backend_);
  Cursor.reset();
}

uint32_t TPainter::TextOf(const TControl& control) const {
  return EnabledAll(control) ? Rgb(control.Font().Color) : theme_.GrayText;
}

bool TPainter::Fits(const TForm& form) const {
  TCellRect outer = PlaceOf(form).Outer;
  return outer.Left >= 0 && outer.Top >= 0 && outer.Right <= canvas_.Columns() && outer.Bottom <= canvas_.Rows();
}

void TPainter::PaintTooSmall(const TForm& form) {
  TCellRect outer = PlaceOf(form).Outer;
  std::string title = StripAccelerator(form.Caption().empty() ? form.Name() : form.Caption());
  std::vector<std::string> lines = {
      "The terminal is too small for the window",
      "\"" + title + "\":",
      "it needs " + std::to_string(outer.Width()) + " x " + std::to_string(outer.Height()) + " cells and has " +
          std::to_string(canvas_.Columns()) + " x " + std::to_string(canvas_.Rows()) + ".",
      "Enlarge the terminal to go on."};
  int width = 0;
  for (const auto& line : lines) width = std::max(width, static_cast<int>(line.size()));
  int columns = canvas_.Columns(), rows = canvas_.Rows();
  int boxWidth = std::min(width + 4, columns), boxHeight = std::min(static_cast<int>(lines.size()) + 2, rows);
  TCellRect box{(columns - boxWidth) / 2, (rows - boxHeight) / 2, 0, 0};
  box.Right = box.Left + boxWidth;
  box.Bottom = box.Top + boxHeight;
  canvas_.SetClip({0, 0, columns, rows});
  canvas_.Fill(box, theme_.Selection);
  canvas_.Box(box, theme_.SelectionText, theme_.Selection);
  for (size_t i = 0; i < lines.size(); ++i)
    canvas_.Text(box.Left + 2, box.Top + 1 + static_cast<int>(i), Fit(lines[i], boxWidth - 4), theme_.SelectionText,
                 theme_.Selection, csBold);
}

void TPainter::PaintForm(const TForm& form, bool active) {
  TScreenPlace place = PlaceOf(form);
  canvas_.SetClip(place.Outer);
  if (form.BorderStyle() != bsNone) FormFrame(form, place.Outer, active);
  canvas_.SetClip(place.Client);
  canvas_.Fill(place.Client, Rgb(form.Color()));
  PaintChildren(form, place.Client, active);
}

void TPainter::FormFrame(const TForm& form, const TCellRect& outer, bool active) {
  canvas_.Fill(outer, theme_.Face);
  canvas_.Box(outer, theme_.Frame, theme_.Face);
  uint32_t bar = active ? theme_.Caption : theme_.InactiveCaption;
  uint32_t text = active ? theme_.CaptionText : theme_.InactiveCaptionText;
  // The caption bar is the frame's top line, lit while the form takes input.
  canvas_.TopLine(outer.Left, outer.Right, outer.Top, text, bar);
  std::string caption = " " + form.Caption() + " ";
  canvas_.Text(outer.Left + 2, outer.Top, Fit(caption, outer.Width() - 4), text, bar, csBold);
}

void TPainter::PaintChildren(const TControl& parent, const TCellRect& clip, bool active) {
  // Controls without a window lie below the windowed ones, each group in creation order.
  for (int windowed = 0; windowed < 2; ++windowed)
    for (const TControl* child : parent.Controls()) {
      if (!child->Visible() || child->Windowed() != (windowed == 1)) continue;
      PaintControl(*child, clip, active);
    }
}

void TPainter::PaintControl(const TControl& c, const TCellRect& clip, bool active) {
  TScreenPlace place = PlaceOf(c);
  TCellRect r = place.Outer;
  const TForm* form = c.Form();
  bool focused = active && form && form->ActiveControl() == &c;
  bool enabled = EnabledAll(c);
  canvas_.SetClip(r.Intersect(clip));
  uint32_t face = Rgb(c.Color());
  TCellRect childClip = place.Client.Intersect(clip);

  if (const auto* fill = dynamic_cast<const TFountainFill*>(&c)) {
    FountainFill(*fill, r);
  } else if (const auto* label = dynamic_cast<const TLabel*>(&c)) {
    canvas_.SetClip(clip);  // text is not cut where rounding to cells takes a column off its box
    Label(*label, r);
  } else if (const auto* image = dynamic_cast<const TImage*>(&c)) {
    if (image->ProgramIcon()) {
      // The program's icon: a small tile with the product's initial.
      canvas_.Fill(r, theme_.Caption);
      canvas_.Text(r.Left + std::max(r.Width() - 1, 0) / 2, Middle(r), "T", 0x00FFFF, theme_.Caption, csBold);
    } else if (!image->PictureFile().empty()) {
      canvas_.Fill(r, theme_.Field, lgShade, theme_.GrayText);
      std::string name = image->PictureFile().substr(image->PictureFile().find_last_of("\\/:") + 1);
      name = Fit(name, r.Width());
      canvas_.Text(r.Left + (r.Width() - static_cast<int>(name.size())) / 2, Middle(r), name, theme_.FieldText,
                   theme_.Field);
    }
  } else if (const auto* group = dynamic_cast<const TGroupBox*>(&c)) {
    canvas_.Fill(r, face);
    canvas_.Box(r, theme_.GrayText, face);
    // A child that reaches the bottom line would cut through it: the box stays open there.
    for (const TControl* k : c.Controls())
      if (k->Visible() && PlaceOf(*k).Outer.Bottom >= r.Bottom) {
        canvas_.Fill({r.Left, r.Bottom - 1, r.Right, r.Bottom}, face);
        canvas_.Put(r.Left, r.Bottom - 1, lgVertical, theme_.GrayText, face);
        canvas_.Put(r.Right - 1, r.Bottom - 1, lgVertical, theme_.GrayText, face);
        break;
      }
    // Its children are not kept inside the frame: where one reaches the frame it lies above
    // it, as a child window does, rather than losing a line of text to a one-cell border.
    Caption(*group, r.Left + 1, r.Top, TextOf(c), face, csNone);
  } else if (const auto* panel = dynamic_cast<const TPanel*>(&c)) {
    canvas_.Fill(r, face);
    // A one-cell bevel would cover the controls at its edge: only a panel that holds pictures
    // and text alone (the frame of the package's picture) shows it.
    bool holdsWindows = std::any_of(c.Controls().begin(), c.Controls().end(), [](const TControl* k) { return k->Windowed(); });
    if (!holdsWindows && panel->BevelOuter() != bvNone && r.Width() > 2 && r.Height() > 2) {
      canvas_.Box(r, theme_.Frame, face, panel->BevelInner() != bvNone);
      childClip = TCellRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}.Intersect(clip);
    }
  } else if (const auto* memo = dynamic_cast<const TMemo*>(&c)) {
    Memo(*memo, r, focused);
  } else if (dynamic_cast<const TEdit*>(&c)) {
    int row = Middle(r);
    TCellRect field{r.Left, row, r.Right, row + 1};
    uint32_t fg = enabled ? Rgb(c.Font().Color) : theme_.GrayText, bg = enabled ? theme_.Field : theme_.Face;
    canvas_.Fill(field, bg);
    TViewState& view = View(c);
    const std::string& text = c.Text();
    int caret = view.Caret < 0 || view.Caret > static_cast<int>(text.size()) ? static_cast<int>(text.size()) : view.Caret;
    int width = std::max(field.Width() - 1, 1);
    if (caret < view.Scroll) view.Scroll = caret;
    if (caret - view.Scroll >= width) view.Scroll = caret - width + 1;
    view.Scroll = std::clamp(view.Scroll, 0, static_cast<int>(text.size()));
    bool selected = focused && view.Selected && !text.empty();
    canvas_.Text(field.Left, row, Fit(text.substr(static_cast<size_t>(view.Scroll)), field.Width()),
                 selected ? theme_.SelectionText : fg, selected ? theme_.Selection : bg, focused ? csUnderline : csNone);
    if (focused && canvas_.Clip().Contains(field.Left + caret - view.Scroll, row))
      Cursor = TCursorPlace{field.Left + caret - view.Scroll, row};
  } else if (dynamic_cast<const TButton*>(&c)) {
    const auto& button = static_cast<const TButton&>(c);
    canvas_.Fill(r, face);
    int row = Middle(r);
    std::string text = StripAccelerator(c.Caption());
    int width = r.Width();
    uint32_t fg = enabled ? theme_.FaceText : theme_.GrayText, bg = theme_.Face;
    if (focused) {
      fg = theme_.SelectionText;
      bg = theme_.Selection;
    }
    canvas_.Fill({r.Left, row, r.Right, row + 1}, bg);
    canvas_.Text(r.Left, row, button.Default() ? "<" : "[", fg, bg);
    canvas_.Text(r.Right - 1, row, button.Default() ? ">" : "]", fg, bg);
    int left = r.Left + std::max((width - static_cast<int>(text.size())) / 2, 1);
    Caption(c, left, row, fg, bg, focused ? csBold : csNone);
  } else if (dynamic_cast<const TCheckBox*>(&c) || dynamic_cast<const TRadioButton*>(&c)) {
    bool radio = dynamic_cast<const TRadioButton*>(&c) != nullptr;
    bool checked = radio ? static_cast<const TRadioButton&>(c).Checked() : static_cast<const TCheckBox&>(c).Checked();
    canvas_.Fill(r, face);
    int row = Middle(r);
    uint32_t fg = enabled ? Rgb(c.Font().Color) : theme_.GrayText;
    std::string mark = radio ? (checked ? "(*)" : "( )") : (checked ? "[x]" : "[ ]");
    canvas_.Text(r.Left, row, mark, fg, face);
    if (focused) Caption(c, r.Left + 4, row, theme_.SelectionText, theme_.Selection, csNone);
    else Caption(c, r.Left + 4, row, fg, face, csNone);
  } else if (const auto* list = dynamic_cast<const TListBox*>(&c)) {
    List(*list, r, focused);
  } else if (const auto* bar = dynamic_cast<const TProgressBar*>(&c)) {
    int row = Middle(r);
    TCellRect line{r.Left, row, r.Right, row + 1};
    canvas_.Fill(r, face);
    canvas_.Fill(line, theme_.Field);
    int filled = static_cast<int>(bar->Fraction() * line.Width() + 0.5);
    for (int i = 0; i < filled; ++i) canvas_.Put(line.Left + i, row, lgThumb, theme_.Selection, theme_.Field);
  } else {
    canvas_.Fill(r, face);  // pages, page books and any other container: their face
  }

  if (!c.Controls().empty()) PaintChildren(c, childClip, active);
}

void TPainter::Caption(const TControl& control, int column, int row, uint32_t fg, uint32_t bg, uint8_t style) {
  // The accelerator's letter is underlined, as the window system shows it.
  const std::string& caption = control.Caption();
  bool marks = true;
  if (const auto* label = dynamic_cast<const TLabel*>(&control)) marks = label->ShowAccelChar();
  for (size_t i = 0; i < caption.size(); ++i) {
    char ch = caption[i];
    uint8_t s = style;
    if (marks && ch == '&') {
      if (i + 1 >= caption.size()) break;
      ch = caption[++i];
      if (ch != '&') s |= csUnderline;
    }
    canvas_.Put(column++, row, GlyphOf(static_cast<unsigned char>(ch)), fg, bg, s);
  }
}

void TPainter::FountainFill(const TFountainFill& fill, const TCellRect& r) {
  if (r.Empty()) return;
  std::vector<TGradientShape> shapes = fill.Shapes(fill.Width(), fill.Height());
  Gradient& g = gradients_[&fill];
  if (g.shapes != shapes || g.columns != r.Width() || g.rows != r.Height()) {
    g.cells = GradientCells(shapes, fill.Width(), fill.Height(), r.Width(), r.Height());
    g.shapes = std::move(shapes);
    g.columns = r.Width();
    g.rows = r.Height();
  }
  for (int row = 0; row < g.rows; ++row)
    for (int col = 0; col < g.columns; ++col)
      canvas_.Put(r.Left + col, r.Top + row, U' ', 0, g.cells[static_cast<size_t>(row * g.columns + col)]);
}

void TPainter::Label(const TLabel& label, const TCellRect& r) {
  uint32_t fg = TextOf(label);
  const auto* shadowed = dynamic_cast<const TShadowLabel*>(&label);
  bool shadow = shadowed && shadowed->ShadowSize() > 0;
  if (!label.Transparent()) canvas_.Fill(r, Rgb(label.Color()));
  int row = r.Top;
  for (const std::string& line : label.Lines()) {
    int width = static_cast<int>(line.size());
    int left = r.Left;
    if (label.Alignment() == taCenter) left = r.Left + (r.Width() - width) / 2;
    else if (label.Alignment() == taRightJustify) left = r.Right - width;
    // A shadow is finer than a cell: the cells of the text take the shadow's colour behind it,
    // which keeps dark text readable on a dark gradient as the shadow does on the screen.
    if (shadow) canvas_.Text(left, row, line, fg, Rgb(shadowed->ShadowColor()), csBold);
    else canvas_.TextOver(left, row, line, fg, shadowed ? csBold : csNone);
    ++row;
  }
}

void TPainter::ScrollBar(int column, int top, int rows, int first, int shown, int total, uint32_t fg, uint32_t bg) {
  if (rows <= 0 || total <= shown) return;
  int thumb = std::max(1, rows * shown / total);
  int at = total - shown > 0 ? (rows - thumb) * first / (total - shown) : 0;
  for (int i = 0; i < rows; ++i) canvas_.Put(column, top + i, i >= at && i < at + thumb ? lgThumb : lgShade, fg, bg);
}

void TPainter::Memo(const TMemo& memo, const TCellRect& r, bool focused) {
  bool border = memo.BorderStyle() != bsNone && r.Width() >= 3 && r.Height() >= 3;
  bool bar = memo.ScrollBars() == ssVertical || memo.ScrollBars() == ssBoth;
  bool enabled = EnabledAll(memo);
  uint32_t bg = Rgb(memo.Color());
  uint32_t fg = enabled ? Rgb(memo.Font().Color) : theme_.GrayText;
  canvas_.Fill(r, bg);
  TCellRect inner = r;
  if (border) {
    canvas_.Box(r, focused ? theme_.Selection : theme_.GrayText, bg);
    inner = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  if (bar && !border) inner.Right -= 1;
  std::vector<std::string> lines = MemoDisplayLines(memo, inner.Width());
  TViewState& view = View(memo);
  view.PageRows = std::max(inner.Height(), 1);
  view.LineCount = static_cast<int>(lines.size());
  view.Top = std::clamp(view.Top, 0, std::max(view.LineCount - view.PageRows, 0));
  for (int i = 0; i < inner.Height() && view.Top + i < view.LineCount; ++i)
    canvas_.Text(inner.Left, inner.Top + i, Fit(lines[static_cast<size_t>(view.Top + i)], inner.Width()), fg, bg);
  if (bar)
    ScrollBar(border ? r.Right - 1 : inner.Right, inner.Top, inner.Height(), view.Top, view.PageRows, view.LineCount,
              focused ? theme_.Selection : theme_.GrayText, bg);
}

void TPainter::List(const TListBox& list, const TCellRect& r, bool focused) {
  bool enabled = EnabledAll(list);
  uint32_t bg = Rgb(list.Color());
  uint32_t fg = enabled ? Rgb(list.Font().Color) : theme_.GrayText;
  canvas_.Fill(r, bg);
  const auto& items = list.Items();
  if (const auto* drives = dynamic_cast<const TDriveComboBox*>(&list)) {
    // One line: the chosen drive, or the drive of the folder list it serves.
    std::string drive = list.ItemIndex() >= 0 ? items[static_cast<size_t>(list.ItemIndex())] : drives->Drive();
    if (drive.empty() && drives->DirList) drive = drives->DirList->Directory().substr(0, 2);
    int row = Middle(r);
    uint32_t f = focused ? theme_.SelectionText : fg, b = focused ? theme_.Selection : bg;
    canvas_.Fill({r.Left, row, r.Right - 1, row + 1}, b);
    canvas_.Text(r.Left, row, Fit(drive, r.Width() - 1), f, b);
    canvas_.Put(r.Right - 1, row, lgArrowDown, theme_.FaceText, theme_.Face);
    return;
  }
  const auto* checks = dynamic_cast<const TCheckListBox*>(&list);
  TViewState& view = View(list);
  int rows = std::max(r.Height(), 1), count = static_cast<int>(items.size());
  bool bar = count > rows;
  int width = r.Width() - (bar ? 1 : 0);
  view.PageRows = rows;
  int selected = list.ItemIndex();
  if (selected >= 0) {
    if (selected < view.Top) view.Top = selected;
    if (selected >= view.Top + rows) view.Top = selected - rows + 1;
  }
  view.Top = std::clamp(view.Top, 0, std::max(count - rows, 0));
  for (int i = 0; i < rows && view.Top + i < count; ++i) {
    int index = view.Top + i;
    std::string text = items[static_cast<size_t>(index)];
    if (checks) text = std::string(checks->Checked(index) ? "[x] " : "[ ] ") + text;
    uint32_t f = fg, b = bg;
    if (index == selected) {
      f = focused ? theme_.SelectionText : theme_.FaceText;
      b = focused ? theme_.Selection : theme_.Face;
      canvas_.Fill({r.Left, r.Top + i, r.Left + width, r.Top + i + 1}, b);
    }
    canvas_.Text(r.Left, r.Top + i, Fit(text, width), f, b);
  }
  if (focused && selected < 0 && count > 0) canvas_.Put(r.Left, r.Top, U'>', theme_.Selection, bg);
  if (bar) ScrollBar(r.Right - 1, r.Top, rows, view.Top, rows, count, theme_.GrayText, bg);
}

}  // namespace tovin::ui::terminal
