// What a window shows a person, as lines of text for the transcript of an unattended run:
// every text of the controls that are showing, in the order the form made them, with the state
// of check boxes, radio buttons and lists, and its buttons last. Long texts are shortened: a
// reader wants what the page says, not the whole licence.
#pragma once
#include <string>
#include <vector>

#include "ui/control.h"

namespace tovin {

// The lines of root and everything below it that is showing; no line for what is empty.
std::vector<std::string> ShownTexts(const ui::TControl& root);

}  // namespace tovin
