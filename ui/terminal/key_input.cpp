#include "ui/terminal/key_input.h"

#include <algorithm>
#include <cctype>

#include "ui/ui.h"

namespace tovin::ui::terminal {
namespace {

bool Printable(char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F; }

// The radio button an arrow moves to: the next (or previous) one of the group that can take
// the focus, wrapping around.
TRadioButton* NextRadio(TRadioButton& from, bool forward) {
  std::vector<TRadioButton*> group;
  for (TControl* c : from.Parent()->Controls())
    if (auto* r = dynamic_cast<TRadioButton*>(c)) group.push_back(r);
  auto at = std::find(group.begin(), group.end(), &from);
  size_t n = group.size(), start = static_cast<size_t>(at - group.begin());
  for (size_t step = 1; step < n; ++step) {
    TRadioButton* r = group[(start + (forward ? step : n - step)) % n];
    if (r->CanFocus()) return r;
  }
  return nullptr;
}

bool ListKey(TApplication& app, TListBox& list, const TKey& key, TViewState& view) {
  int count = static_cast<int>(list.Items().size());
  int index = list.ItemIndex(), page = std::max(view.PageRows - 1, 1);
  int to = index;
  switch (key.Code) {
    case kcUp: to = index < 0 ? 0 : index - 1; break;
    case kcDown: to = index + 1; break;
    case kcPageUp: to = index - page; break;
    case kcPageDown: to = index < 0 ? page : index + page; break;
    case kcHome: to = 0; break;
    case kcEnd: to = count - 1; break;
    case kcLeft: to = index < 0 ? 0 : index - 1; break;
    case kcRight: to = index + 1; break;
    default: return false;
  }
  if (count == 0) return true;
  to = std::clamp(to, 0, count - 1);
  if (to == index) return true;
  if (auto* drives = dynamic_cast<TDriveComboBox*>(&list)) {
    // Choosing a drive shows its folders in the list it serves.
    std::string drive = list.Items()[static_cast<size_t>(to)];
    app.FromUser(list, prItemIndex, [drives, drive] { drives->SetDrive(drive); });
    return true;
  }
  app.FromUser(list, prItemIndex, [&list, to] { list.SetItemIndex(to); });
  return true;
}

bool MemoKey(const TKey& key, TViewState& view) {
  int page = std::max(view.PageRows - 1, 1), last = std::max(view.LineCount - view.PageRows, 0);
  switch (key.Code) {
    case kcUp: view.Top -= 1; break;
    case kcDown: view.Top += 1; break;
    case kcPageUp: view.Top -= page; break;
    case kcPageDown: view.Top += page; break;
    case kcHome: view.Top = 0; break;
    case kcEnd: view.Top = last; break;
    default: return false;
  }
  view.Top = std::clamp(view.Top, 0, last);
  return true;
}

}  // namespace

bool EditLine(std::string& text, int& caret, bool& selected, const TKey& key) {
  bool replace = selected && (key.Code == kcBackspace || key.Code == kcDelete ||
                              (key.Code == kcChar && !key.Alt && Printable(key.Char)));
  selected = false;
  if (replace) {
    text.clear();
    caret = 0;
    if (key.Code != kcChar) return true;
  }
  int size = static_cast<int>(text.size());
  if (caret < 0 || caret > size) caret = size;
  switch (key.Code) {
    case kcLeft: caret = std::max(caret - 1, 0); return true;
    case kcRight: caret = std::min(caret + 1, size); return true;
    case kcHome: caret = 0; return true;
    case kcEnd: caret = size; return true;
    case kcBackspace:
      if (caret > 0) text.erase(static_cast<size_t>(--caret), 1);
      return true;
    case kcDelete:
      if (caret < size) text.erase(static_cast<size_t>(caret), 1);
      return true;
    case kcChar:
      if (key.Alt || !Printable(key.Char)) return false;
      text.insert(static_cast<size_t>(caret++), 1, key.Char);
      return true;
    default: return false;
  }
}

bool HandleFormKey(TApplication& app, TForm& form, const TKey& key, TViewStates& views) {
  TControl* focus = form.ActiveControl();
  if (focus && !focus->CanFocus()) focus = nullptr;
  auto* edit = dynamic_cast<TEdit*>(focus);

  if (key.Code == kcChar && (key.Alt || (!edit && std::isalnum(static_cast<unsigned char>(key.Char)))))
    return app.Deliver([&form, key] { form.PressAcceleratorKey(key.Char); });

  switch (key.Code) {
    case kcTab:
    case kcBackTab: {
      bool forward = key.Code == kcTab;
      bool moved = app.FromUser(form, prFocus, [&form, forward] { form.SelectNext(forward); });
      if (auto* entered = dynamic_cast<TEdit*>(form.ActiveControl())) {
        views[entered].Selected = true;  // as a dialog selects an edit's text when Tab enters it
        views[entered].Caret = -1;
      }
      return moved;
    }
    case kcEscape:
      return app.Deliver([&form] {
        if (!form.PressCancel() && form.OnClick) form.Click();
      });
    case kcEnter:
      if (auto* list = dynamic_cast<TListBox*>(focus);
          list && !dynamic_cast<TCheckListBox*>(list) && !dynamic_cast<TDriveComboBox*>(list) &&
          list->ItemIndex() >= 0 && (list->OnDblClick || dynamic_cast<TDirectoryListBox*>(list)))
        return app.Deliver([list] { list->DblClick(); });
      return app.Deliver([&form] { form.PressDefault(); });
    default: break;
  }
  if (!focus) return false;

  if (edit) {
    std::string text = edit->Text();
    TViewState& view = views[edit];
    if (!EditLine(text, view.Caret, view.Selected, key)) return false;
    if (text != edit->Text()) app.FromUser(*edit, prCaption, [edit, text] { edit->SetText(text); });
    return true;
  }
  if (auto* memo = dynamic_cast<TMemo*>(focus)) return MemoKey(key, views[memo]);  // the setup's memos are read-only
  if (auto* checks = dynamic_cast<TCheckListBox*>(focus); checks && key.Code == kcChar && key.Char == ' ') {
    if (checks->Items().empty()) return true;
    if (checks->ItemIndex() < 0) app.FromUser(*checks, prItemIndex, [checks] { checks->SetItemIndex(0); });
    int index = checks->ItemIndex();
    return app.FromUser(*checks, prChecked, [checks, index] { checks->ClickCheck(index); });
  }
  if (auto* list = dynamic_cast<TListBox*>(focus)) return ListKey(app, *list, key, views[list]);
  if (key.Code == kcChar && key.Char == ' ') return app.Deliver([focus] { focus->Click(); });
  if (auto* radio = dynamic_cast<TRadioButton*>(focus)) {
    bool forward = key.Code == kcDown || key.Code == kcRight;
    if (key.Code != kcUp && key.Code != kcDown && key.Code != kcLeft && key.Code != kcRight) return false;
    TRadioButton* next = NextRadio(*radio, forward);
    if (!next) return true;
    return app.Deliver([next] {
      next->SetFocus();
      next->Click();
    });
  }
  // Between buttons and boxes the arrows move as Tab does.
  if (key.Code == kcDown || key.Code == kcRight || key.Code == kcUp || key.Code == kcLeft) {
    bool forward = key.Code == kcDown || key.Code == kcRight;
    return app.FromUser(form, prFocus, [&form, forward] { form.SelectNext(forward); });
  }
  return false;
}

}  // namespace tovin::ui::terminal
