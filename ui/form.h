// TForm: a window of the setup. A form class holds its controls as members and wires their
// events to its own handlers in its constructor (which is also where it runs its own
// FormCreate). The application must outlive its forms.
//
// Closing: Close() on a form shown modally only marks it for closing (ModalResult mrCancel
// unless a result is already set); its modal run then ends at the loop's next check, as it
// does when anything else sets ModalResult. When a modal run ends, whatever the cause, and on
// Close() of a form that is not modal, the form is hidden first and OnClose is raised once,
// last: a handler may release the form (through PostAction) because nothing touches it
// afterwards. Closing the main form ends the application (Terminate).
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
  // A maximized form takes the screen's size when shown (after OnShow, raising OnResize).
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);

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

  // Every control of the form, depth first in creation order (the form itself not included).
  std::vector<TControl*> AllControls() const;

  void SetBounds(int left, int top, int width, int height) override;

 protected:
  void VisibleChanged() override;

 private:
  void Place();

  TApplication& application_;
  TBorderStyle borderStyle_ = bsSizeable;
  bool captionButtons_ = true;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TFormStyle formStyle_ = fsNormal;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
};

}  // namespace tovin::ui
