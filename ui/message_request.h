// A message box or input query as the application hands it to its backend, and the answer.
#pragma once
#include <string>
#include <vector>

namespace tovin::ui {

class TForm;

enum TMessageKind { mkPlain, mkConfirmation, mkWarning, mkError, mkInput };

// The identifier of the error box in which the application shows a failure (ShowException).
inline constexpr const char* kExceptionBoxId = "exception";

struct TMessageRequest {
  std::string Caption;
  std::string Text;  // the message, or the prompt of an input query
  TMessageKind Kind = mkPlain;
  std::vector<std::string> Buttons;  // labels with their accelerator marks ("&Yes"); never empty
  int DefaultButton = 0;             // pressed by Enter, and by an unattended run with no answer
  int CancelButton = 0;              // pressed by Escape, and at once once the application is ending
  std::string Value;                 // input query: the text the input line starts with
  // Which box this is, and what it is about (a file name, a path), for drivers and tests: they
  // tell boxes apart by these, never by the texts, which are for people and may name anything.
  // Empty when the program that asks gives none.
  std::string Id{};  // the initializers keep requests written without these two warning-free
  std::string Subject{};
  TForm* Owner = nullptr;  // the form the box belongs to (see TApplication::Ask)
};

struct TMessageAnswer {
  int Button = 0;     // index into Buttons
  std::string Value;  // input query: the text in the input line when the button was pressed
};

}  // namespace tovin::ui
