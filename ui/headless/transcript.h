// The record of every message box and input query of a headless run.
#pragma once
#include <string>

#include "ui/message_request.h"

namespace tovin::ui {

enum TAnswerSource {
  asScript,     // the answer script chose the button (or typed the text)
  asDefault,    // no answer was scripted: the default button was pressed
  asTerminated  // the application was ending: answered with the cancel button, not shown
};

struct TTranscriptEntry {
  std::string Caption;
  std::string Text;  // exactly as asked
  TMessageKind Kind = mkPlain;
  std::string Button;  // label of the pressed button, as the box shows it ("&Abort")
  std::string Value;   // input queries: the text in the input line when the button was pressed
  TAnswerSource Source = asDefault;
  std::string Id{};  // the request's identifier and subject, not written by FormatTranscriptEntry
  std::string Subject{};
};

// CR and LF as \r and \n, other control characters as \xHH.
std::string EscapeControls(const std::string& text);

// One line: [Caption] Text -> Button "Value" (source); CR, LF and other control characters of
// the texts are written as \r, \n and \xHH. The value is shown for input queries only.
std::string FormatTranscriptEntry(const TTranscriptEntry& entry);

}  // namespace tovin::ui
