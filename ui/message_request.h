// A message box or input query as the application hands it to its backend, and the answer.
#pragma once
#include <string>
#include <vector>

namespace tovin::ui {

class TForm;

enum TMessageKind { mkPlain, mkConfirmation, mkWarning, mkError, mkInput };

struct TMessageRequest {
  std::string Caption;
  std::string Text;  // the message, or the prompt of an input query
  TMessageKind Kind = mkPlain;
  std::vector<std::string> Buttons;  // labels with their accelerator marks ("&Yes"); never empty
  int DefaultButton = 0;             // pressed by Enter, and by an unattended run with no answer
  int CancelButton = 0;              // pressed by Escape, and at once once the application is ending
  std::string Value;                 // input query: the text the input line starts with
  TForm* Owner = nullptr;            // the form the box belongs to (see TApplication::Ask)
};

struct TMessageAnswer {
  int Button = 0;     // index into Buttons
  std::string Value;  // input query: the text in the input line when the button was pressed
};

}  // namespace tovin::ui
