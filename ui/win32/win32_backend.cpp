#include "ui/win32/win32_backend.h"

#include <cctype>

#include "ui/win32/win32_impl.h"

#include <commctrl.h>

namespace tovin::ui {
namespace win32 {

TWin32Impl::TWin32Impl(TWin32Backend& backend) : Backend(backend), Instance(::GetModuleHandleA(nullptr)) {
  // A drive without a disk answers "not ready" instead of asking the user to insert one.
  ::SetErrorMode(SEM_FAILCRITICALERRORS);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  WNDCLASSA cls{};
  cls.hInstance = Instance;
  cls.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  cls.style = CS_DBLCLKS;
  cls.lpfnWndProc = &TWin32Impl::ContainerProc;
  cls.lpszClassName = "TovinContainer";
  ::RegisterClassA(&cls);
  cls.lpszClassName = "TovinForm";
  cls.hIcon = Gdi.ProgramIcon(32, 32);
  ::RegisterClassA(&cls);
  cls = {};
  cls.hInstance = Instance;
  cls.lpfnWndProc = &TWin32Impl::UtilityProc;
  cls.lpszClassName = "TovinUtility";
  ::RegisterClassA(&cls);
  Utility = ::CreateWindowExA(0, "TovinUtility", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Instance, this);
}

TWin32Impl::~TWin32Impl() {
  for (auto& [control, native] : Natives)
    if (native->Hwnd && native->Kind == kForm) ::DestroyWindow(native->Hwnd);
  Natives.clear();
  if (Utility) ::DestroyWindow(Utility);
}

}  // namespace win32

using win32::TWin32Impl;

TWin32Backend::TWin32Backend() : impl_(std::make_unique<TWin32Impl>(*this)) {}
TWin32Backend::~TWin32Backend() = default;

void TWin32Backend::SetIdleWakeInterval(uint32_t milliseconds) {
  if (milliseconds) ::SetTimer(impl_->Utility, win32::kIdleTimerId, milliseconds, nullptr);
  else ::KillTimer(impl_->Utility, win32::kIdleTimerId);
}

bool TWin32Backend::PressBoxButton(int index) { return impl_->PressBoxButton(index); }

void TWin32Backend::SendKeys(const std::vector<TKeyStroke>& keys) {
  std::vector<INPUT> input;
  auto key = [&](WORD vk, bool up) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.push_back(i);
  };
  for (const TKeyStroke& k : keys) {
    WORD vk = k.Key == TKeyStroke::kTab     ? VK_TAB
              : k.Key == TKeyStroke::kEnter  ? VK_RETURN
              : k.Key == TKeyStroke::kEscape ? VK_ESCAPE
              : k.Key == TKeyStroke::kSpace  ? VK_SPACE
                                             : static_cast<WORD>(std::toupper(static_cast<unsigned char>(k.Letter)));
    if (k.Alt) key(VK_MENU, false);
    if (k.Shift) key(VK_SHIFT, false);
    key(vk, false);
    key(vk, true);
    if (k.Shift) key(VK_SHIFT, true);
    if (k.Alt) key(VK_MENU, true);
  }
  if (input.empty() || ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)) != input.size())
    return;
  // The keys are handled before this returns, as a person waits to see what a key did: the
  // loop's work is done here until the last key has come up and what it produced is handled.
  WORD last = input.back().ki.wVk;
  DWORD deadline = ::GetTickCount() + 5000;
  bool seen = false;
  for (;;) {
    MSG msg;
    if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      if ((msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) && msg.wParam == last) seen = true;
      impl_->Dispatch(msg);
      continue;
    }
    DWORD now = ::GetTickCount();
    if (seen || now >= deadline) return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - now, QS_ALLINPUT);
  }
}

void TWin32Backend::Quit() { ::PostQuitMessage(0); }

void* TWin32Backend::WindowOf(const TControl& control) const {
  win32::TNative* n = impl_->Find(control);
  return n ? n->Hwnd : nullptr;
}

void TWin32Backend::RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended) {
  impl_->RunLoop(app, loopForm, ended);
}
void TWin32Backend::ProcessMessages(TApplication& app) { impl_->ProcessMessages(app); }
void TWin32Backend::Wake() { impl_->Wake(); }
TMessageAnswer TWin32Backend::Ask(const TMessageRequest& request) { return impl_->Ask(request); }

TSize TWin32Backend::ScreenSize() const { return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

TFrame TWin32Backend::FrameOf(const TForm& form) const {
  RECT r{0, 0, 0, 0};
  ::AdjustWindowRectEx(&r, TWin32Impl::FormStyle(form), FALSE, TWin32Impl::FormExStyle(form));
  return {static_cast<int>(-r.left), static_cast<int>(-r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

TSize TWin32Backend::TextExtent(const TFont& font, const std::string& text) const { return impl_->Gdi.Extent(font, text); }

uint32_t TWin32Backend::SysColor(int index) const { return static_cast<uint32_t>(::GetSysColor(index)); }

void TWin32Backend::ControlCreated(TControl& control) { impl_->Create(control); }
void TWin32Backend::ControlDestroyed(TControl& control) { impl_->Destroy(control); }
void TWin32Backend::FormShown(TForm& form) { impl_->ShowForm(form); }
void TWin32Backend::FormHidden(TForm& form) { impl_->HideForm(form); }

void TWin32Backend::ControlChanged(TControl& control, TProperty property) {
  if (win32::TNative* n = impl_->Find(control)) impl_->Apply(*n, property);
}

void TWin32Backend::Repaint(TControl& control) {
  win32::TNative* n = impl_->Find(control);
  if (!n) return;
  if (n->Kind == win32::kWindowless) impl_->InvalidateWindowless(*n);
  else if (n->Hwnd) ::RedrawWindow(n->Hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TWin32Backend::Update(TControl& control) {
  Repaint(control);
  win32::TNative* n = impl_->Find(control);
  if (!n) return;
  HWND hwnd = n->Kind == win32::kWindowless ? impl_->HostOf(control, nullptr) : n->Hwnd;
  if (hwnd) ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWin32Backend::TimerChanged(TTimer& timer) { impl_->TimerChanged(timer); }
void TWin32Backend::TimerDestroyed(TTimer& timer) { impl_->TimerDestroyed(timer); }

}  // namespace tovin::ui
