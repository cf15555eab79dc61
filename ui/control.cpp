#include "ui/control.h"


#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace tovin::ui {

TControl::TControl(std::string name) : name_(std::move(name)), visible_(false) {}

TControl::TControl(TControl& parent, std::string name)
    : name_(std::move(name)), parent_(&parent), form_(parent.form_), font_(parent.font_) {
  parent.children_.push_back(this);
}

TControl::~TControl() {
  for (TControl* child : children_) child->Detach();
  if (parent_) std::erase(parent_->children_, this);
}

// The parent goes first: the child keeps its values but no longer reaches a form or backend.
void TControl::Detach() {
  parent_ = nullptr;
  form_ = nullptr;
  for (TControl* child : children_) child->Detach();
}

TControl* TControl::FindControl(const std::string& name) {
  if (name_ == name) return this;
  for (TControl* child : children_)
    if (TControl* found = child->FindControl(name)) return found;
  return nullptr;
}

void TControl::SetCaption(const std::string& value) {
  if (text_ == value) return;
  text_ = value;
  Changed();
  TextChanged();
}

void TControl::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  Changed();
  VisibleChanged();
}

void TControl::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  Changed();
}

void TControl::SetBounds(int left, int top, int width, int height) { StoreBounds(left, top, width, height); }

bool TControl::StoreBounds(int left, int top, int width, int height) {
  if (left_ == left && top_ == top && width_ == width && height_ == height) return false;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed();
  return true;
}

void TControl::SetFont(const TFont& value) {
  if (font_ == value) return;
  font_ = value;
  Changed();
  FontChanged();
}

void TControl::SetColor(TColor value) {
  if (color_ == value) return;
  color_ = value;
  Changed();
}

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

void TControl::Changed() {
  if (form_) form_->Application().Backend().ControlChanged(*this);
}

void TControl::Repaint() {
  if (form_) form_->Application().Backend().Repaint(*this);
}

void TControl::Update() { Repaint(); }

}  // namespace tovin::ui
