// The loops: a form's run, ProcessMessages, and the keys of a dialog. Faults held by the
// application are rethrown here, outside every native dispatch.
#include <algorithm>
#include <cctype>

#include "ui/win32/win32_impl.h"

namespace tovin::ui::win32 {
namespace {

bool KeyDown(int key) { return ::GetKeyState(key) < 0; }

// The other forms' windows are disabled while a form runs modally, as Windows disables a
// dialog's owner; they are enabled again, in the order found, when the run ends.
class TModalGuard {
 public:
  TModalGuard(TWin32Impl& impl, TForm& form) {
    if (!form.Modal()) return;
    for (TForm* other : form.Application().Forms()) {
      HWND hwnd = other != &form && other->Visible() ? impl.WindowOfForm(other) : nullptr;
      if (hwnd && ::IsWindowEnabled(hwnd)) {
        ::EnableWindow(hwnd, FALSE);
        disabled_.push_back(hwnd);
      }
    }
  }
  ~TModalGuard() {
    for (HWND hwnd : disabled_)
      if (::IsWindow(hwnd)) ::EnableWindow(hwnd, TRUE);
  }
  TModalGuard(const TModalGuard&) = delete;
  TModalGuard& operator=(const TModalGuard&) = delete;

 private:
  std::vector<HWND> disabled_;
};

}  // namespace

bool TWin32Impl::Deliver(TApplication& app, const TNotifyEvent& handler) {
  App = &app;
  bool delivered = app.Deliver(handler);
  if (!delivered) Faulted = true;
  return delivered;
}

bool TWin32Impl::FromUser(TControl& control, TProperty property, const TNotifyEvent& change) {
  if (!control.Form()) return false;
  TApplication& app = control.Form()->Application();
  App = &app;
  bool delivered = app.FromUser(control, property, change);
  if (!delivered) Faulted = true;
  return delivered;
}

void TWin32Impl::Rethrow(TApplication& app) {
  if (!Faulted) return;
  Faulted = false;
  app.RethrowFault();
}

void TWin32Impl::Wake() {
  if (WakePosted || !Utility) return;
  WakePosted = ::PostMessageA(Utility, kWakeMessage, 0, 0) != 0;
}

void TWin32Impl::RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended) {
  App = &app;
  TModalGuard modal(*this, loopForm);
  for (;;) {
    Rethrow(app);
    if (ended()) break;
    app.AnnounceNew();
    if (app.RunPostedActions()) continue;
    MSG msg;
    if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) app.Terminate();
      else Dispatch(msg);
      continue;
    }
    if (Backend.OnIdle) {
      bool acted = false;
      auto idle = Backend.OnIdle;
      Deliver(app, [&] { acted = idle(loopForm); });
      if (acted) continue;
    }
    Rethrow(app);
    if (ended()) break;
    ::WaitMessage();
  }
  Rethrow(app);
}

void TWin32Impl::ProcessMessages(TApplication& app) {
  App = &app;
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      app.Terminate();
      break;
    }
    Dispatch(msg);
  }
  app.RunPostedActions();
  Rethrow(app);
}

void TWin32Impl::Dispatch(MSG& msg) {
  if (DialogKey(msg)) return;
  HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  TNative* form = FromWindow(root);
  if (form && form->Kind == kForm && ::IsDialogMessageA(root, &msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageA(&msg);
}

// Tab and Shift+Tab, Enter, Escape and Alt+letter follow the model's keyboard rules (its tab
// order, default and cancel buttons, accelerators), so every backend's keyboard agrees; the
// arrows move within a group of radio buttons. A control that wants a key keeps it (a memo
// its Enter, a dropped-down list its Escape).
bool TWin32Impl::DialogKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSCHAR && msg.message != WM_CHAR) return false;
  HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  TNative* formNative = FromWindow(root);
  if (!formNative || formNative->Kind != kForm) return false;
  auto& form = static_cast<TForm&>(*formNative->Control);
  TApplication& app = form.Application();
  UINT code = msg.hwnd != root
                  ? static_cast<UINT>(::SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)))
                  : 0;
  auto press = [&](const std::function<bool()>& key) {
    bool done = false;
    Deliver(app, [&] { done = key(); });
    return done;
  };
  if (msg.message == WM_SYSCHAR) {
    char letter = static_cast<char>(msg.wParam);
    return press([&] { return form.PressAcceleratorKey(letter); });
  }
  if (msg.message == WM_CHAR) {
    // In a dialog a letter alone presses the accelerator when the focused control takes no text.
    char letter = static_cast<char>(msg.wParam);
    if (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS) || !std::isalnum(static_cast<unsigned char>(letter))) return false;
    return press([&] { return form.PressAcceleratorKey(letter); });
  }
  switch (msg.wParam) {
    case VK_TAB:
      if (code & DLGC_WANTTAB || KeyDown(VK_CONTROL)) return false;
      press([&] { return form.SelectNext(!KeyDown(VK_SHIFT)); });
      return true;
    case VK_RETURN:
      if (code & DLGC_WANTALLKEYS) return false;
      press([&] { return form.PressDefault(); });
      return true;
    case VK_ESCAPE:
      if (code & DLGC_WANTALLKEYS) return false;
      press([&] { return form.PressCancel(); });
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
      TNative* focused = FromWindow(msg.hwnd);
      if (!focused || focused->Kind != kRadioButton) return false;
      bool forward = msg.wParam == VK_RIGHT || msg.wParam == VK_DOWN;
      TControl* current = focused->Control;
      press([&] {
        std::vector<TControl*> group;
        for (TControl* sibling : current->Parent()->Controls())
          if (dynamic_cast<TRadioButton*>(sibling)) group.push_back(sibling);
        auto at = std::find(group.begin(), group.end(), current);
        size_t n = group.size(), start = static_cast<size_t>(at - group.begin());
        for (size_t step = 1; step < n; ++step) {
          TControl* next = group[(start + (forward ? step : n - step)) % n];
          if (next->CanFocus()) {
            next->SetFocus();
            return next->Click();
          }
        }
        return false;
      });
      return true;
    }
    default:
      return false;
  }
}

void TWin32Impl::TimerChanged(TTimer& timer) {
  if (timer.Enabled() && timer.Interval() > 0) {
    UINT_PTR& id = IdOfTimer[&timer];
    if (!id) {
      id = NextTimerId++;
      TimerOfId[id] = &timer;
    }
    ::SetTimer(Utility, id, timer.Interval(), nullptr);  // the count starts again
  } else if (auto it = IdOfTimer.find(&timer); it != IdOfTimer.end()) {
    ::KillTimer(Utility, it->second);
  }
}

void TWin32Impl::TimerDestroyed(TTimer& timer) {
  auto it = IdOfTimer.find(&timer);
  if (it == IdOfTimer.end()) return;
  ::KillTimer(Utility, it->second);
  TimerOfId.erase(it->second);
  IdOfTimer.erase(it);
}

void TWin32Impl::FireTimer(UINT_PTR id) {
  auto it = TimerOfId.find(id);
  if (it == TimerOfId.end()) return;  // the idle wake-up, or a timer gone meanwhile
  TTimer* timer = it->second;
  Deliver(timer->Owner().Application(), [timer] { timer->Fire(); });
}

}  // namespace tovin::ui::win32
