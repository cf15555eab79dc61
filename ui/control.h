// TControl: the base of every control of the model and of the form itself. A control is a
// member of its form, made with its parent (the form or a container control) and its name;
// it holds the properties the forms read and write and raises their On... events. Nothing is
// drawn here: every change is passed on to the application's backend.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/graphics.h"

namespace tovin::ui {

class TForm;

using TNotifyEvent = std::function<void()>;

// Frame of a form; a memo uses bsNone and bsSingle.
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };

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

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);

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
  // Showing, the control and every parent enabled, and its form not behind a modal form.
  bool AcceptsInput() const;

  // Ask the backend to draw the control again (Repaint) or at once (Update).
  void Repaint();
  void Update();

 protected:
  explicit TControl(std::string name);  // a form: no parent, hidden
  void SetForm(TForm* form) { form_ = form; }
  // Tells the backend that something it shows has changed.
  void Changed();
  virtual void TextChanged() {}
  virtual void FontChanged() {}
  virtual void VisibleChanged() {}
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
  void Detach();

  std::string name_;
  TControl* parent_ = nullptr;
  TForm* form_ = nullptr;
  std::vector<TControl*> children_;
  std::string text_;
  bool visible_ = true;
  bool enabled_ = true;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TFont font_;
  TColor color_ = clBtnFace;
};

}  // namespace tovin::ui
