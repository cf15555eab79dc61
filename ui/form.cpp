#include "ui/form.h"

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/ui_errors.h"

namespace tovin::ui {

TForm::TForm(TApplication& application, std::string name) : TControl(std::move(name)), application_(application) {
  SetForm(this);
  application_.AddForm(*this);
}

TForm::~TForm() { application_.RemoveForm(*this); }

void TForm::SetBorderStyle(TBorderStyle value) {
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  Changed();
}

void TForm::SetCaptionButtons(bool value) {
  if (captionButtons_ == value) return;
  captionButtons_ = value;
  Changed();
}

void TForm::SetPosition(TPosition value) {
  if (position_ == value) return;
  position_ = value;
  Changed();
}

void TForm::SetWindowState(TWindowState value) {
  if (windowState_ == value) return;
  windowState_ = value;
  Changed();
  if (Visible()) Place();
}

void TForm::SetFormStyle(TFormStyle value) {
  if (formStyle_ == value) return;
  formStyle_ = value;
  Changed();
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
  application_.Backend().FormShown(*this);
  application_.Dispatch(OnShow);
  if (Visible()) Place();
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

}  // namespace tovin::ui
