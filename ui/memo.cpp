#include "ui/memo.h"

#include "platform/stream.h"

namespace tovin::ui {

std::vector<std::string> SplitMemoLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t end = text.find('\0');
  if (end == std::string::npos) end = text.size();
  size_t pos = 0;
  while (pos < end) {
    size_t stop = text.find_first_of("\r\n", pos);
    if (stop == std::string::npos || stop > end) stop = end;
    lines.push_back(text.substr(pos, stop - pos));
    pos = stop;
    if (pos < end && text[pos] == '\r') ++pos;
    if (pos < end && text[pos] == '\n') ++pos;
  }
  return lines;
}

TMemo::TMemo(TControl& parent, std::string name) : TControl(parent, std::move(name)) { SetColor(clWindow); }

void TMemo::SetLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  Changed(prLines);
}

void TMemo::Clear() { SetLines({}); }

void TMemo::Add(const std::string& line) {
  lines_.push_back(line);
  Changed(prLines);
}

void TMemo::LoadFromFile(const std::string& path) {
  FileStream file(path, FileStream::Mode::OpenRead);
  std::string text;
  char buffer[8192];
  for (int64_t got; (got = file.Read(buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(got));
  SetLines(SplitMemoLines(text));
}

void TMemo::SetReadOnly(bool value) { Assign(readOnly_, value, prAppearance); }

void TMemo::SetWordWrap(bool value) { Assign(wordWrap_, value, prAppearance); }

void TMemo::SetScrollBars(TScrollStyle value) { Assign(scrollBars_, value, prAppearance); }

void TMemo::SetBorderStyle(TBorderStyle value) { Assign(borderStyle_, value, prAppearance); }

}  // namespace tovin::ui
