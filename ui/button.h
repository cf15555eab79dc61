// TButton: a push button (also the flat glyph buttons of the forms).
#pragma once
#include "ui/control.h"
#include "ui/modal_result.h"

namespace tovin::ui {

class TButton : public TControl {
 public:
  TButton(TControl& parent, std::string name);

  // When not mrNone, a click sets its form's ModalResult (before OnClick), which ends the
  // form's modal run.
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  // The button Enter presses (Default) and the one Escape presses (Cancel), for backends with
  // a keyboard.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value);
  bool Focusable() const override { return true; }

 protected:
  void Clicked() override;

 private:
  TModalResult modalResult_ = mrNone;
  bool default_ = false;
  bool cancel_ = false;
};

}  // namespace tovin::ui
