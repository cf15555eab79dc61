// TControl: the base of every control of the model and of the form itself. A control is a
// member of its form, made with its parent (the form or a container control) and its name;
// it holds the properties the forms read and write and raises their On... events. Nothing is
// drawn here: every change is passed on to the application's backend.
//
// Lifetime as a backend sees it: a control is announced (TBackend::ControlCreated) once it is
// complete, that is when its form is first shown, or at the next turn of a loop for a control
// made while its form was already shown; until then its changes are not passed on. It goes
// (TBackend::ControlDestroyed) from its destructor, or when its parent goes first, while its
// form is still alive. So a backend never learns of a half-built control nor keeps a dead one.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/graphics.h"
#include "ui/property.h"

namespace tovin::ui {

class TForm;

using TNotifyEvent = std::function<void()>;

// Frame of a form; a memo uses bsNone and bsSingle.
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
// The mouse pointer over a control.
enum TCursor { crDefault, crHandPoint };

class TControl {
 public:
  // The parent must outlive the control (declare controls after their parent in the form).
  // The control starts with its parent's font.
  TControl(TControl& parent, std::string name);
  virtual ~TControl();
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  const std::string& Name() const { return name_; }
  TControl* Parent() const { return parent_; }
  // The form this control belongs to (the form itself for a form).
  TForm* Form() const { return form_; }
  // Direct children, in creation order.
  const std::vector<TControl*>& Controls() const { return children_; }
  // This control or the first descendant (depth first, creation order) of that name; null if none.
  TControl* FindControl(const std::string& name);
  // Whether the backend knows this control (it was announced and has not gone).
  bool Announced() const { return announced_; }

  // Caption and Text are one string, as a window has one text.
  const std::string& Caption() const { return text_; }
  void SetCaption(const std::string& value);
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value) { SetCaption(value); }

  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  // The area children are laid out in (the control's size; a form's client area).
  virtual TSize ClientSize() const { return {width_, height_}; }

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);

  // Controls without a window of their own (gradient, labels, pictures) are painted by their
  // parent, in creation order, over what lies below them.
  virtual bool Windowed() const { return true; }

  // Keyboard focus. A control that can take the focus (buttons, check boxes, radio buttons,
  // edits, memos, lists) is a tab stop at first; Tab moves through the tab stops of a form in
  // creation order. CanFocus: it can take the focus and accepts input.
  virtual bool Focusable() const { return false; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  bool CanFocus() const { return Focusable() && AcceptsInput(); }
  bool Focused() const;
  // Makes this control its form's active control; false when it cannot take the focus.
  bool SetFocus();

  // The letter after a single '&' of the caption, upper case; 0 when there is none.
  virtual char Accelerator() const;
  // What the accelerator key does: a button or check box is clicked, a label passes the focus
  // on (see TLabel). False when the control does not accept input.
  virtual bool PressAccelerator() { return Click(); }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

  // What a user's click or double-click does. Delivered only when the control accepts input
  // (see AcceptsInput); returns whether it was. A check box toggles, a radio button checks
  // itself, a button passes its ModalResult to its form, then OnClick is raised.
  bool Click();
  bool DblClick();

  // The control and every parent up to and including its form are visible (a page book shows
  // only its current page).
  bool Showing() const;
  // Showing, the control and every parent enabled, its form not behind a modal form and no
  // message box open.
  bool AcceptsInput() const;

  // Ask the backend to draw the control again: Repaint when it next paints, Update at once.
  void Repaint();
  void Update();

 protected:
  explicit TControl(std::string name);  // a form: no parent, hidden
  void SetForm(TForm* form) { form_ = form; }
  // Tells the backend that a property it shows has changed (nothing before the control is
  // announced; not the change a backend's own input made, see TApplication::FromUser).
  void Changed(TProperty property);
  // The one way a property is set: stores value and tells the backend; false when value was
  // already there.
  template <class T>
  bool Assign(T& field, const T& value, TProperty property) {
    if (field == value) return false;
    field = value;
    Changed(property);
    return true;
  }
  virtual void TextChanged() {}
  virtual void FontChanged() {}
  virtual void VisibleChanged() {}
  // The client size of this control changed: children that follow it (labels that wrap, pages)
  // adjust themselves.
  virtual void ParentResized() {}
  virtual void Clicked() { Raise(OnClick); }
  virtual void DoubleClicked() { Raise(OnDblClick); }
  // Runs a copy of the handler, so a handler may replace itself or release its form.
  static void Raise(const TNotifyEvent& event) {
    if (event) {
      TNotifyEvent handler = event;
      handler();
    }
  }
  // Sets the bounds as given; false when nothing changed.
  bool StoreBounds(int left, int top, int width, int height);

 private:
  friend class TApplication;
  void Detach();
  void FocusMayBeLost();

  std::string name_;
  TControl* parent_ = nullptr;
  TForm* form_ = nullptr;
  std::vector<TControl*> children_;
  std::string text_;
  bool visible_ = true;
  bool enabled_ = true;
  bool tabStop_ = true;
  bool announced_ = false;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TFont font_;
  TColor color_ = clBtnFace;
  TCursor cursor_ = crDefault;
};

// The accelerator of a caption: the letter after a single '&' ("&&" is a literal '&'), upper
// case; 0 when there is none.
char AcceleratorOf(const std::string& caption);
// A caption as shown: "&&" becomes '&', a single '&' is dropped.
std::string StripAccelerator(const std::string& caption);

}  // namespace tovin::ui
