// TForm: a window of the setup. A form class holds its controls as members and wires their
// events to its own handlers in its constructor (which is also where it runs its own
// FormCreate). The application must outlive its forms.
//
// Size: Width and Height are the outer size of the window, frame and caption included; the
// controls are laid out in the client area (ClientWidth x ClientHeight), whose frame around it
// the backend measures (TBackend::FrameOf). Forms give their client size (SetClientSize).
//
// Showing: a maximized form takes the screen's size and a centred form its place before OnShow
// and before the backend first shows it (so the first paint has the final size); then OnShow,
// then the backend shows the window; the focus goes to ActiveControl, or to the first tab stop.
//
// Closing: Close() on a form shown modally only marks it for closing (ModalResult mrCancel
// unless a result is already set); its modal run then ends at the loop's next check, as it
// does when anything else sets ModalResult. When a modal run ends, whatever the cause, and on
// Close() of a form that is not modal, the form is hidden first and OnClose is raised once,
// last: a handler may release the form (through PostAction) because nothing touches it
// afterwards. Closing the main form ends the application (Terminate).
//
// Keyboard, as a dialog has it (SelectNext, PressDefault, PressCancel, PressAcceleratorKey):
// backends without a native dialog manager pass their keys here.
//
// OnShow, OnClose and OnResize run through TApplication::Dispatch: a failure in them is shown
// in an error box, as it would be when the window system sends the message.
#pragma once
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/modal_result.h"

namespace tovin::ui {

class TApplication;
class TButton;

enum TPosition { poDesigned, poScreenCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsStayOnTop };

class TForm : public TControl {
 public:
  // Hidden at first.
  TForm(TApplication& application, std::string name);
  ~TForm() override;

  TApplication& Application() const { return application_; }

  TBorderStyle BorderStyle() const { return borderStyle_; }  // bsSizeable at first
  void SetBorderStyle(TBorderStyle value);
  // The close (system menu) button and its company on the caption bar; on at first.
  bool CaptionButtons() const { return captionButtons_; }
  void SetCaptionButtons(bool value);
  // poScreenCenter centres the form on the screen each time it is shown.
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value);
  // A maximized form takes the screen's size when shown, raising OnResize.
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);

  // The client area: the outer size less the frame the backend draws around it.
  int ClientWidth() const { return ClientSize().Width; }
  int ClientHeight() const { return ClientSize().Height; }
  TSize ClientSize() const override;
  // Sets the outer size so that the client area is width x height.
  void SetClientSize(int width, int height);
  // Places a maximized or centred form again (the screen changed, or its frame did).
  void Place();

  // Raised each time the form goes from hidden to shown.
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
  // Raised when Width or Height change.
  TNotifyEvent OnResize;

  // Shows the form, runs its modal loop and returns its ModalResult (mrCancel when the
  // application is ending). Raises EInvalidOperation "Cannot make a visible window modal" when
  // the form is already shown. The form must not be destroyed while it runs modally.
  TModalResult ShowModal();
  void Close();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  bool Modal() const { return modal_; }

  // Focus. ActiveControl is the control with the keyboard focus (or the one that gets it when
  // the form is shown); null when none.
  TControl* ActiveControl() const { return activeControl_; }
  // False (and nothing changes) when control is not one of this form's or cannot take the focus
  // while the form is showing.
  bool SetActiveControl(TControl* control);
  // Moves the focus to the next (or previous) tab stop that can take it, wrapping around.
  bool SelectNext(bool forward = true);
  // Enter: clicks the focused button, else the default button. Escape: clicks the cancel button.
  bool PressDefault();
  bool PressCancel();
  // Alt+letter: the control whose caption carries that accelerator.
  bool PressAcceleratorKey(char letter);
  // The tab stops of the form in tab order (creation order); of a group of radio buttons only
  // the checked one, or the first when none is checked.
  std::vector<TControl*> TabOrder() const;

  // Every control of the form, depth first in creation order (the form itself not included).
  std::vector<TControl*> AllControls() const;

  void SetBounds(int left, int top, int width, int height) override;

  // For the model.
  TControl* ActiveControlPointer() const { return activeControl_; }
  void ForgetActiveControl() { activeControl_ = nullptr; }
  void FocusLost(TControl& control);

 protected:
  void VisibleChanged() override;

 private:
  void FocusFirst();

  TApplication& application_;
  TBorderStyle borderStyle_ = bsSizeable;
  bool captionButtons_ = true;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TFormStyle formStyle_ = fsNormal;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  TControl* activeControl_ = nullptr;
};

}  // namespace tovin::ui
