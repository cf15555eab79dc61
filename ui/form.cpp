#include "ui/form.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/button.h"
#include "ui/radio_button.h"
#include "ui/ui_errors.h"

namespace tovin::ui {

TForm::TForm(TApplication& application, std::string name) : TControl(std::move(name)), application_(application) {
  SetForm(this);
  application_.AddForm(*this);
}

// The form's own controls have gone already (members die before this body runs); the form
// goes last, while it is still a form.
TForm::~TForm() {
  application_.RemoveForm(*this);
  application_.ControlGone(*this);
  SetForm(nullptr);
}

void TForm::SetBorderStyle(TBorderStyle value) {
  if (Assign(borderStyle_, value, prWindow) && Visible()) Place();
}

void TForm::SetCaptionButtons(bool value) { Assign(captionButtons_, value, prWindow); }

void TForm::SetPosition(TPosition value) { Assign(position_, value, prWindow); }

void TForm::SetWindowState(TWindowState value) {
  if (Assign(windowState_, value, prWindow) && Visible()) Place();
}

void TForm::SetFormStyle(TFormStyle value) { Assign(formStyle_, value, prWindow); }

TSize TForm::ClientSize() const {
  TFrame frame = application_.Backend().FrameOf(*this);
  return {std::max(Width() - frame.Left - frame.Right, 0), std::max(Height() - frame.Top - frame.Bottom, 0)};
}

void TForm::SetClientSize(int width, int height) {
  TFrame frame = application_.Backend().FrameOf(*this);
  SetBounds(Left(), Top(), width + frame.Left + frame.Right, height + frame.Top + frame.Bottom);
}

void TForm::SetBounds(int left, int top, int width, int height) {
  bool resized = width != Width() || height != Height();
  StoreBounds(left, top, width, height);
  if (resized) application_.Dispatch(OnResize);
}

void TForm::VisibleChanged() {
  if (!Visible()) {
    application_.Backend().FormHidden(*this);
    return;
  }
  Place();
  application_.Dispatch(OnShow);
  if (!Visible()) return;
  application_.Announce(*this);
  if (!activeControl_ || !activeControl_->CanFocus()) FocusFirst();
  application_.Backend().FormShown(*this);
}

void TForm::Place() {
  TSize screen = application_.Backend().ScreenSize();
  if (windowState_ == wsMaximized)
    SetBounds(0, 0, screen.Width, screen.Height);
  else if (position_ == poScreenCenter)
    SetBounds((screen.Width - Width()) / 2, (screen.Height - Height()) / 2, Width(), Height());
}

TModalResult TForm::ShowModal() {
  if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  TApplication& app = application_;
  modalResult_ = mrNone;
  modal_ = true;
  app.PushModal(*this);
  try {
    Show();
    app.Backend().RunLoop(app, *this, [this, &app] { return app.Terminated() || modalResult_ != mrNone; });
  } catch (...) {
    app.PopModal(*this);
    modal_ = false;
    Hide();
    throw;
  }
  if (app.Terminated()) modalResult_ = mrCancel;
  TModalResult result = modalResult_;
  app.PopModal(*this);
  modal_ = false;
  Hide();
  app.Dispatch(OnClose);  // last: the handler may release this form
  return result;
}

void TForm::Close() {
  if (modal_) {
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    return;
  }
  TApplication& app = application_;
  bool mainForm = app.MainForm() == this;
  Hide();
  app.Dispatch(OnClose);  // may release this form
  if (mainForm) app.Terminate();
}

std::vector<TControl*> TForm::AllControls() const {
  std::vector<TControl*> all;
  std::vector<TControl*> pending(Controls().rbegin(), Controls().rend());
  while (!pending.empty()) {
    TControl* control = pending.back();
    pending.pop_back();
    all.push_back(control);
    pending.insert(pending.end(), control->Controls().rbegin(), control->Controls().rend());
  }
  return all;
}

bool TForm::SetActiveControl(TControl* control) {
  if (control && (control->Form() != this || !control->Focusable())) return false;
  if (control && Visible() && !control->CanFocus()) return false;
  Assign(activeControl_, control, prFocus);
  return true;
}

std::vector<TControl*> TForm::TabOrder() const {
  std::vector<TControl*> order;
  for (TControl* c : AllControls()) {
    if (!c->Focusable() || !c->TabStop()) continue;
    if (auto* radio = dynamic_cast<TRadioButton*>(c)) {
      // One stop per group: the checked radio button, or the first of the group.
      const auto& siblings = c->Parent()->Controls();
      TRadioButton* stop = nullptr;
      for (TControl* s : siblings)
        if (auto* r = dynamic_cast<TRadioButton*>(s); r && r->TabStop() && r->Checked()) stop = r;
      if (!stop)
        for (TControl* s : siblings)
          if (auto* r = dynamic_cast<TRadioButton*>(s); r && r->TabStop()) {
            stop = r;
            break;
          }
      if (stop != radio) continue;
    }
    order.push_back(c);
  }
  return order;
}

bool TForm::SelectNext(bool forward) {
  std::vector<TControl*> order = TabOrder();
  if (order.empty()) return false;
  auto at = std::find(order.begin(), order.end(), activeControl_);
  size_t n = order.size();
  size_t start = at == order.end() ? (forward ? n - 1 : 0) : static_cast<size_t>(at - order.begin());
  for (size_t step = 1; step <= n; ++step) {
    TControl* c = order[(start + (forward ? step : n - step)) % n];
    if (c->CanFocus()) return SetActiveControl(c);
  }
  return false;
}

void TForm::FocusFirst() {
  activeControl_ = nullptr;
  for (TControl* c : TabOrder())
    if (c->CanFocus()) {
      Assign(activeControl_, c, prFocus);
      return;
    }
}

void TForm::FocusLost(TControl& control) {
  std::vector<TControl*> order = TabOrder();
  auto at = std::find(order.begin(), order.end(), &control);
  size_t n = order.size(), start = at == order.end() ? n - 1 : static_cast<size_t>(at - order.begin());
  TControl* next = nullptr;
  for (size_t step = 1; step <= n && !next; ++step)
    if (TControl* c = order[(start + step) % n]; c != &control && c->CanFocus()) next = c;
  Assign(activeControl_, next, prFocus);
}

bool TForm::PressDefault() {
  if (auto* focused = dynamic_cast<TButton*>(activeControl_); focused && focused->CanFocus()) return focused->Click();
  for (TControl* c : AllControls())
    if (auto* b = dynamic_cast<TButton*>(c); b && b->Default() && b->AcceptsInput()) return b->Click();
  return false;
}

bool TForm::PressCancel() {
  for (TControl* c : AllControls())
    if (auto* b = dynamic_cast<TButton*>(c); b && b->Cancel() && b->AcceptsInput()) return b->Click();
  return false;
}

bool TForm::PressAcceleratorKey(char letter) {
  char key = static_cast<char>(letter >= 'a' && letter <= 'z' ? letter - 'a' + 'A' : letter);
  for (TControl* c : AllControls())
    if (c->Accelerator() == key && c->AcceptsInput()) {
      if (c->Focusable()) SetActiveControl(c);
      return c->PressAccelerator();
    }
  return false;
}

}  // namespace tovin::ui
