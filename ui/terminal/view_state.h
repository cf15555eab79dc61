// What the terminal keeps of a control beyond the model: where a memo or list is scrolled to,
// where the caret of an edit stands, and what the last frame measured of them (so a key such as
// PgDn moves by what the person sees).
#pragma once
#include <map>
#include <string>

namespace tovin::ui {
class TControl;
}

namespace tovin::ui::terminal {

struct TViewState {
  int Top = 0;        // first line or item shown
  int Caret = -1;     // edits and input lines: the caret's character index; -1 at the end
  int Scroll = 0;     // edits: first character shown
  bool Selected = false;  // edits: the whole text is selected (the focus came by Tab), typing replaces it
  int PageRows = 1;   // rows the last frame showed
  int LineCount = 0;  // memos: lines after wrapping, as last shown
};

using TViewStates = std::map<const TControl*, TViewState>;

}  // namespace tovin::ui::terminal
