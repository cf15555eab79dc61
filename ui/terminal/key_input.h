// Keys to the model, as a dialog manager would pass them: Tab and Shift+Tab move the focus,
// arrows and Space act inside the focused control, Enter presses the focused or default button
// (it opens the chosen item of a list that opens items), Esc the cancel button (a window
// without one but with a click of its own, the preparing window, gets that click), Alt+letter
// and, where no edit has the focus, the plain letter press an accelerator. PgUp and PgDn
// scroll memos and lists by what they show.
//
// What the person changes (text typed, an item chosen, the focus moved) reaches the model
// through TApplication::FromUser; every other action through TApplication::Deliver.
#pragma once
#include "ui/application.h"
#include "ui/form.h"
#include "ui/terminal/key.h"
#include "ui/terminal/view_state.h"

namespace tovin::ui::terminal {

// Returns whether the key meant something to form.
bool HandleFormKey(TApplication& app, TForm& form, const TKey& key, TViewStates& views);

// Editing a single line of text: the key applied to text and caret (-1 for the end). While
// selected, the whole text is selected: a character or a deletion replaces it, and any key
// ends the selection. Returns whether it was an editing key.
bool EditLine(std::string& text, int& caret, bool& selected, const TKey& key);

}  // namespace tovin::ui::terminal
