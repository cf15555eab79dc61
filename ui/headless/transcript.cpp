#include "ui/headless/transcript.h"

#include <cstdio>

namespace tovin::ui {

std::string EscapeControls(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

namespace {

const char* SourceName(TAnswerSource source) {
  switch (source) {
    case asScript:
      return "script";
    case asDefault:
      return "default";
    case asTerminated:
      return "terminated";
  }
  return "?";
}

}  // namespace

std::string FormatTranscriptEntry(const TTranscriptEntry& entry) {
  std::string line = "[";
  line.append(EscapeControls(entry.Caption)).append("] ").append(EscapeControls(entry.Text)).append(" -> ").append(entry.Button);
  if (entry.Kind == mkInput) line.append(" \"").append(EscapeControls(entry.Value)).append("\"");
  return line.append(" (").append(SourceName(entry.Source)).append(")");
}

}  // namespace tovin::ui
