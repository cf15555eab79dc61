// What the transcript of an unattended run shows of a window.
#include "app/form_text.h"

#include <gtest/gtest.h>

#include "ui/headless/headless_backend.h"
#include "ui/ui.h"

namespace tovin {
namespace {

TEST(ShownTexts, WhatShowsInCreationOrderWithStatesAndTheButtonsLast) {
  ui::THeadlessBackend backend;
  ui::TApplication app(backend);
  ui::TForm form(app, "form");
  ui::TLabel title(form, "title");
  ui::TMemo memo(form, "memo");
  ui::TCheckBox box(form, "box");
  ui::TRadioButton radio(form, "radio");
  ui::TCheckListBox list(form, "list");
  ui::TLabel hidden(form, "hidden");
  ui::TButton next(form, "next"), back(form, "back");
  title.SetCaption("Ready && set");
  std::vector<std::string> lines;
  for (int i = 1; i <= 12; ++i) lines.push_back(i == 2 ? "" : "line " + std::to_string(i));
  memo.SetLines(lines);
  memo.Add("");  // trailing empty lines are not shown
  box.SetCaption("&Desktop");
  box.SetChecked(true);
  radio.SetCaption("Full");
  list.SetItems({"  App", "Help"});
  list.SetChecked(1, true);
  hidden.SetCaption("not shown");
  hidden.Hide();
  next.SetCaption("&Next");
  back.SetCaption("&Back");
  back.SetEnabled(false);
  form.Show();
  EXPECT_EQ(ShownTexts(form),
            (std::vector<std::string>{"Ready & set", "| line 1", "|", "| line 3", "| line 4", "| line 5", "| line 6",
                                      "| line 7", "| line 8", "| line 9", "| line 10", "| ... (12 lines in all)",
                                      "[x] Desktop", "( ) Full", "  [ ] App", "  [x] Help",
                                      "buttons: [Next]; greyed: [Back]"}));
}

}  // namespace
}  // namespace tovin
