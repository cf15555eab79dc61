#include "ui/terminal/box_view.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "ui/control.h"
#include "ui/terminal/key_input.h"

namespace tovin::ui::terminal {
namespace {

std::vector<std::string> WrapText(const std::string& text, int width) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    std::string para = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!para.empty() && para.back() == '\r') para.pop_back();
    while (static_cast<int>(para.size()) > width) {
      size_t cut = para.rfind(' ', static_cast<size_t>(width));
      if (cut == std::string::npos || cut == 0) cut = static_cast<size_t>(width);
      lines.push_back(para.substr(0, cut));
      para.erase(0, cut);
      while (!para.empty() && para.front() == ' ') para.erase(0, 1);
    }
    lines.push_back(para);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

std::string ButtonText(const std::string& label) {
  std::string shown = StripAccelerator(label);
  int pad = std::max(0, 8 - static_cast<int>(shown.size()));
  return "[ " + std::string(static_cast<size_t>(pad / 2), ' ') + shown + std::string(static_cast<size_t>(pad - pad / 2), ' ') + " ]";
}

const char* Icon(TMessageKind kind) {
  switch (kind) {
    case mkWarning: return "(!)";
    case mkConfirmation: return "(?)";
    case mkError: return "(X)";
    default: return nullptr;
  }
}

}  // namespace

TBoxView::TBoxView(const TMessageRequest& request)
    : request_(request), focus_(request.DefaultButton), value_(request.Value) {}

bool TBoxView::Key(const TKey& key) {
  int n = static_cast<int>(request_.Buttons.size());
  bool input = request_.Kind == mkInput;
  if (key.Code == kcChar && (key.Alt || (!input && std::isalnum(static_cast<unsigned char>(key.Char))))) {
    char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(key.Char)));
    for (int i = 0; i < n; ++i)
      if (AcceleratorOf(request_.Buttons[static_cast<size_t>(i)]) == wanted) {
        pressed_ = i;
        return true;
      }
    return false;
  }
  switch (key.Code) {
    case kcTab:
    case kcRight:
    case kcDown:
      if (!input || key.Code == kcTab || key.Code == kcDown) {
        focus_ = (focus_ + 1) % n;
        return true;
      }
      break;
    case kcBackTab:
    case kcLeft:
    case kcUp:
      if (!input || key.Code == kcBackTab || key.Code == kcUp) {
        focus_ = (focus_ + n - 1) % n;
        return true;
      }
      break;
    case kcEnter: pressed_ = focus_; return true;
    case kcEscape: pressed_ = request_.CancelButton; return true;
    default: break;
  }
  if (key.Code == kcChar && key.Char == ' ' && !input) {
    pressed_ = focus_;
    return true;
  }
  return input && EditLine(value_, caret_, selected_, key);
}

void TBoxView::Paint(TCellCanvas& canvas, const TTheme& theme, std::optional<TCursorPlace>& cursor) const {
  int columns = canvas.Columns(), rows = canvas.Rows();
  bool input = request_.Kind == mkInput;
  const char* icon = Icon(request_.Kind);
  int indent = icon ? 4 : 0;
  int textRoom = std::clamp(columns - 8 - indent, 10, 72);
  std::vector<std::string> lines = WrapText(request_.Text, textRoom);
  std::string buttons;
  std::vector<int> buttonAt;
  for (const std::string& b : request_.Buttons) {
    if (!buttons.empty()) buttons += "  ";
    buttonAt.push_back(static_cast<int>(buttons.size()));
    buttons += ButtonText(b);
  }
  int inner = static_cast<int>(request_.Caption.size()) + 2;
  for (const auto& line : lines) inner = std::max(inner, static_cast<int>(line.size()) + indent);
  inner = std::max(inner, static_cast<int>(buttons.size()));
  if (input) inner = std::max(inner, 40);
  int width = std::min(inner + 4, columns);
  int height = std::min(static_cast<int>(lines.size()) + (input ? 2 : 0) + 5, rows);
  TCellRect box{(columns - width) / 2, (rows - height) / 2, 0, 0};
  box.Right = box.Left + width;
  box.Bottom = box.Top + height;

  canvas.SetClip(box);
  canvas.Fill(box, theme.Face);
  canvas.Box(box, theme.Frame, theme.Face);
  canvas.TopLine(box.Left, box.Right, box.Top, theme.CaptionText, theme.Caption);
  canvas.Text(box.Left + 2, box.Top, " " + request_.Caption + " ", theme.CaptionText, theme.Caption, csBold);
  canvas.SetClip({box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1});
  int row = box.Top + 2;
  if (icon) canvas.Text(box.Left + 2, row, icon, theme.FaceText, theme.Face, csBold);
  for (const auto& line : lines) canvas.Text(box.Left + 2 + indent, row++, line, theme.FaceText, theme.Face);
  if (input) {
    ++row;
    TCellRect field{box.Left + 2, row, box.Right - 2, row + 1};
    canvas.Fill(field, theme.Field);
    int room = std::max(field.Width() - 1, 1);
    int caret = caret_ < 0 || caret_ > static_cast<int>(value_.size()) ? static_cast<int>(value_.size()) : caret_;
    int first = std::max(caret - room + 1, 0);
    canvas.Text(field.Left, row, value_.substr(static_cast<size_t>(first), static_cast<size_t>(field.Width())),
                selected_ ? theme.SelectionText : theme.FieldText, selected_ ? theme.Selection : theme.Field);
    cursor = TCursorPlace{field.Left + caret - first, row};
    ++row;
  }
  row = box.Bottom - 2;
  int left = box.Left + std::max((width - static_cast<int>(buttons.size())) / 2, 1);
  for (size_t i = 0; i < request_.Buttons.size(); ++i) {
    bool focused = static_cast<int>(i) == focus_;
    uint32_t fg = focused ? theme.SelectionText : theme.FaceText, bg = focused ? theme.Selection : theme.Face;
    std::string text = ButtonText(request_.Buttons[i]);
    int at = left + buttonAt[i];
    canvas.Text(at, row, text, fg, bg, focused ? csBold : csNone);
    // Underline the accelerator.
    char accel = AcceleratorOf(request_.Buttons[i]);
    if (accel) {
      size_t pos = text.find_first_of(std::string(1, accel) + static_cast<char>(std::tolower(static_cast<unsigned char>(accel))));
      if (pos != std::string::npos)
        canvas.Put(at + static_cast<int>(pos), row, static_cast<unsigned char>(text[pos]), fg, bg,
                   static_cast<uint8_t>((focused ? csBold : csNone) | csUnderline));
    }
  }
}

}  // namespace tovin::ui::terminal
