// Forms as top-level windows: the frame of each border style, the owner that keeps a dialog
// above the window it belongs to, showing, hiding and the keyboard focus.
#include "ui/win32/win32_impl.h"

namespace tovin::ui::win32 {

DWORD TWin32Impl::FormStyle(const TForm& form) {
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  switch (form.BorderStyle()) {
    case bsNone: break;
    case bsSingle: style |= WS_CAPTION | (form.CaptionButtons() ? WS_MINIMIZEBOX : 0); break;
    case bsSizeable: style |= WS_CAPTION | WS_THICKFRAME | (form.CaptionButtons() ? WS_MINIMIZEBOX | WS_MAXIMIZEBOX : 0); break;
    case bsDialog: style |= WS_CAPTION; break;
    case bsToolWindow: style |= WS_CAPTION; break;
  }
  if (form.BorderStyle() != bsNone && form.CaptionButtons()) style |= WS_SYSMENU;
  return style;
}

DWORD TWin32Impl::FormExStyle(const TForm& form) {
  DWORD ex = WS_EX_CONTROLPARENT;
  if (form.BorderStyle() == bsDialog) ex |= WS_EX_DLGMODALFRAME;
  if (form.BorderStyle() == bsToolWindow) ex |= WS_EX_TOOLWINDOW;
  if (form.FormStyle() == fsStayOnTop) ex |= WS_EX_TOPMOST;
  return ex;
}

void TWin32Impl::CreateForm(TNative& n) {
  auto& form = static_cast<TForm&>(*n.Control);
  n.Hwnd = ::CreateWindowExA(FormExStyle(form), "TovinForm", form.Caption().c_str(), FormStyle(form), form.Left(),
                             form.Top(), form.Width(), form.Height(), nullptr, nullptr, Instance, &n);
  if (n.Hwnd) ::SetWindowLongPtrA(n.Hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&n));
}

void TWin32Impl::ApplyWindowStyle(TNative& n) {
  auto& form = static_cast<TForm&>(*n.Control);
  DWORD visible = static_cast<DWORD>(::GetWindowLongA(n.Hwnd, GWL_STYLE)) & (WS_VISIBLE | WS_DISABLED);
  ::SetWindowLongA(n.Hwnd, GWL_STYLE, static_cast<LONG>(FormStyle(form) | visible));
  ::SetWindowLongA(n.Hwnd, GWL_EXSTYLE, static_cast<LONG>(FormExStyle(form) & ~WS_EX_TOPMOST));
  ::SetWindowPos(n.Hwnd, form.FormStyle() == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, form.Left(), form.Top(),
                 form.Width(), form.Height(), SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

HWND TWin32Impl::WindowOfForm(const TForm* form) const {
  TNative* n = form ? Find(*form) : nullptr;
  return n ? n->Hwnd : nullptr;
}

void TWin32Impl::ShowForm(TForm& form) {
  TNative* n = Find(form);
  if (!n || !n->Hwnd) return;
  // A form belongs to the innermost modal form showing, else to the main form, and so stays
  // above it (the wizard above the background, the directory dialog above the wizard).
  HWND owner = nullptr;
  TApplication& app = form.Application();
  for (auto it = app.ModalForms().rbegin(); it != app.ModalForms().rend() && !owner; ++it)
    if (*it != &form && (*it)->Visible()) owner = WindowOfForm(*it);
  if (!owner && app.MainForm() != &form) owner = WindowOfForm(app.MainForm());
  ::SetWindowLongPtrA(n->Hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  ::SetWindowPos(n->Hwnd, form.FormStyle() == fsStayOnTop ? HWND_TOPMOST : HWND_TOP, form.Left(), form.Top(),
                 form.Width(), form.Height(), SWP_NOACTIVATE);
  ::ShowWindow(n->Hwnd, SW_SHOW);
  ::SetForegroundWindow(n->Hwnd);
  FocusActive(form);
  ::UpdateWindow(n->Hwnd);
}

void TWin32Impl::HideForm(TForm& form) {
  if (HWND hwnd = WindowOfForm(&form)) ::ShowWindow(hwnd, SW_HIDE);
}

void TWin32Impl::FocusActive(TForm& form) {
  HWND window = WindowOfForm(&form);
  if (!window || !::IsWindowVisible(window)) return;
  TControl* active = form.ActiveControl();
  TNative* n = active ? Find(*active) : nullptr;
  HWND target = n && n->Hwnd && ::IsWindowVisible(n->Hwnd) && ::IsWindowEnabled(n->Hwnd) ? n->Hwnd : window;
  if (::GetFocus() == target) return;
  ::SetFocus(target);
  // An edit entered by the keyboard has its text selected, so that typing replaces it.
  if (n && n->Kind == kEdit && target == n->Hwnd) ::SendMessageA(target, EM_SETSEL, 0, -1);
}

}  // namespace tovin::ui::win32
