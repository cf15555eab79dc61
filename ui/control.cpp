#include "ui/control.h"

#include <cctype>

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace tovin::ui {

char AcceleratorOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

std::string StripAccelerator(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      out += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      out += '&';
      ++i;
    }
  }
  return out;
}

TControl::TControl(std::string name) : name_(std::move(name)), visible_(false) {}

TControl::TControl(TControl& parent, std::string name)
    : name_(std::move(name)), parent_(&parent), form_(parent.form_), font_(parent.font_) {
  parent.children_.push_back(this);
  if (form_) form_->Application().ControlMade(*this);
}

TControl::~TControl() {
  for (TControl* child : children_) child->Detach();
  if (form_) {
    TForm* form = form_;
    if (form->ActiveControlPointer() == this) form->ForgetActiveControl();
    form->Application().ControlGone(*this);
  }
  if (parent_) std::erase(parent_->children_, this);
}

// The parent goes first: the child keeps its values but no longer reaches a form or backend,
// so for the backend it has gone.
void TControl::Detach() {
  for (TControl* child : children_) child->Detach();
  if (form_) {
    if (form_->ActiveControlPointer() == this) form_->ForgetActiveControl();
    form_->Application().ControlGone(*this);
  }
  parent_ = nullptr;
  form_ = nullptr;
}

TControl* TControl::FindControl(const std::string& name) {
  if (name_ == name) return this;
  for (TControl* child : children_)
    if (TControl* found = child->FindControl(name)) return found;
  return nullptr;
}

void TControl::SetCaption(const std::string& value) {
  if (!Assign(text_, value, prCaption)) return;
  TextChanged();
}

void TControl::SetVisible(bool value) {
  if (!Assign(visible_, value, prVisible)) return;
  VisibleChanged();
  if (!value) FocusMayBeLost();
}

void TControl::SetEnabled(bool value) {
  if (Assign(enabled_, value, prEnabled) && !value) FocusMayBeLost();
}

void TControl::SetTabStop(bool value) { Assign(tabStop_, value, prTabStop); }

void TControl::SetCursor(TCursor value) { Assign(cursor_, value, prCursor); }

// A focused control (or the container holding it) that became hidden or disabled passes the
// focus on to the next control that can take it, as a dialog does.
void TControl::FocusMayBeLost() {
  if (!form_) return;
  TControl* active = form_->ActiveControlPointer();
  if (!active || active->CanFocus()) return;
  for (TControl* c = active; c; c = c->parent_)
    if (c == this) {
      form_->FocusLost(*active);
      return;
    }
}

void TControl::SetBounds(int left, int top, int width, int height) { StoreBounds(left, top, width, height); }

bool TControl::StoreBounds(int left, int top, int width, int height) {
  bool resized = width != width_ || height != height_;
  if (left_ == left && top_ == top && !resized) return false;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed(prBounds);
  if (resized)
    for (TControl* child : std::vector<TControl*>(children_)) child->ParentResized();
  return true;
}

void TControl::SetFont(const TFont& value) {
  if (!Assign(font_, value, prFont)) return;
  FontChanged();
}

void TControl::SetColor(TColor value) { Assign(color_, value, prColor); }

bool TControl::Focused() const { return form_ && form_->ActiveControlPointer() == this; }

bool TControl::SetFocus() {
  if (!form_ || !CanFocus()) return false;
  form_->SetActiveControl(this);
  return true;
}

char TControl::Accelerator() const { return AcceleratorOf(text_); }

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return form_ != nullptr;
}

bool TControl::AcceptsInput() const {
  if (!Showing()) return false;
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return form_->Application().AcceptsInput(*form_);
}

bool TControl::Click() {
  if (!AcceptsInput()) return false;
  Clicked();  // may release the form: nothing of this control is touched afterwards
  return true;
}

bool TControl::DblClick() {
  if (!AcceptsInput()) return false;
  DoubleClicked();
  return true;
}

void TControl::Changed(TProperty property) {
  if (form_ && announced_) form_->Application().PropertyChanged(*this, property);
}

void TControl::Repaint() {
  if (form_ && announced_) form_->Application().Backend().Repaint(*this);
}

void TControl::Update() {
  if (form_ && announced_) form_->Application().Backend().Update(*this);
}

}  // namespace tovin::ui
