// Boxes: MessageBoxA where its buttons are the request's (labels, default and cancel), else a
// dialog built at run time from an in-memory template (a warning with named buttons, the input
// query). Either way the box runs its own modal loop with its owner disabled; timers go on
// firing there. A box the program has to close (the application ends, a fault is held) is
// closed with its cancel button.
#include <algorithm>
#include <cstring>

#include "ui/win32/win32_impl.h"

namespace tovin::ui::win32 {
namespace {

struct TStandardSet {
  std::vector<std::string> Labels;
  UINT Type;
  std::vector<int> Ids;
  int Cancel;  // the button Escape and the close box give
};

// The sets of buttons MessageBoxA has, as the class library labels them.
const std::vector<TStandardSet>& StandardSets() {
  static const std::vector<TStandardSet> sets = {
      {{"OK"}, MB_OK, {IDOK}, 0},
      {{"OK", "Cancel"}, MB_OKCANCEL, {IDOK, IDCANCEL}, 1},
      {{"&Yes", "&No"}, MB_YESNO, {IDYES, IDNO}, -1},
      {{"&Yes", "&No", "Cancel"}, MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, 2},
      {{"&Retry", "Cancel"}, MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, 1},
      {{"&Abort", "&Retry", "&Ignore"}, MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, -1},
  };
  return sets;
}

// The MessageBoxA set of request, or null when the request needs a box of its own. A set with
// no cancel button of its own (Yes/No) takes any cancel index: Windows leaves Escape unanswered
// there, as its users know.
const TStandardSet* StandardSetOf(const TMessageRequest& request) {
  if (request.Kind == mkInput || request.DefaultButton > 3) return nullptr;
  for (const TStandardSet& set : StandardSets())
    if (set.Labels == request.Buttons && (set.Cancel < 0 || set.Cancel == request.CancelButton)) return &set;
  return nullptr;
}

UINT IconOf(TMessageKind kind) {
  switch (kind) {
    case mkConfirmation: return MB_ICONQUESTION;
    case mkWarning: return MB_ICONWARNING;
    case mkError: return MB_ICONERROR;
    default: return 0;
  }
}

LPCSTR SystemIconOf(TMessageKind kind) {
  switch (kind) {
    case mkConfirmation: return MAKEINTRESOURCEA(32514);  // IDI_QUESTION
    case mkWarning: return MAKEINTRESOURCEA(32515);       // IDI_WARNING
    case mkError: return MAKEINTRESOURCEA(32513);         // IDI_ERROR
    default: return nullptr;
  }
}

// The box that MessageBoxA makes is found by the hook as it is activated.
thread_local TWin32Impl* hookedImpl = nullptr;
thread_local HHOOK hook = nullptr;

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && hookedImpl && !hookedImpl->Box) {
    char name[16] = {};
    ::GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
    if (std::strcmp(name, "#32770") == 0) hookedImpl->BoxShown(reinterpret_cast<HWND>(wParam));
  }
  return ::CallNextHookEx(hook, code, wParam, lParam);
}

// --- the built box -------------------------------------------------------------------------

constexpr int kTextId = 10, kIconId = 11, kEditId = 12;

class TTemplate {
 public:
  void Dialog(DWORD style, WORD items, const std::string& caption) {
    Dword(style);
    Dword(0);
    Word(items);
    for (int i = 0; i < 4; ++i) Word(0);
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Text(caption);
    Word(8);
    Text("MS Sans Serif");
  }
  void Item(DWORD style, WORD id, WORD atom, const std::string& text) {
    while (words_.size() % 2) Word(0);  // items start on a DWORD
    Dword(style);
    Dword(0);
    for (int i = 0; i < 4; ++i) Word(0);  // placed in WM_INITDIALOG, in pixels
    Word(id);
    Word(0xFFFF);
    Word(atom);
    Text(text);
    Word(0);
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Text(const std::string& text) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    for (wchar_t c : wide) Word(static_cast<WORD>(c));
  }
  std::vector<WORD> words_;
};

struct TBuiltBox {
  TWin32Impl* Impl;
  const TMessageRequest* Request;
  HWND Owner;
  int Answer;
  std::string Value;
};

void LayOut(HWND dialog, const TBuiltBox& box) {
  const TMessageRequest& r = *box.Request;
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
  HDC dc = ::GetDC(dialog);
  HGDIOBJ old = ::SelectObject(dc, font);
  RECT text{0, 0, 360, 0};
  ::DrawTextA(dc, r.Text.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  ::SelectObject(dc, old);
  ::ReleaseDC(dialog, dc);

  constexpr int kMargin = 12, kButtonWidth = 75, kButtonHeight = 23, kGap = 6, kIcon = 32;
  bool input = r.Kind == mkInput;
  bool icon = !input && SystemIconOf(r.Kind);
  int textLeft = kMargin + (icon ? kIcon + kMargin : 0);
  int textHeight = std::max<int>(text.bottom, icon ? kIcon : 0);
  int y = kMargin + textHeight + kMargin;
  int editHeight = tm.tmHeight + 8;
  int buttons = static_cast<int>(r.Buttons.size());
  int buttonsWidth = buttons * kButtonWidth + (buttons - 1) * kGap;
  int width = std::max({textLeft + static_cast<int>(text.right) + kMargin, buttonsWidth + 2 * kMargin, input ? 280 : 0});
  int textTop = kMargin + (icon && text.bottom < kIcon ? (kIcon - text.bottom) / 2 : 0);
  ::SetWindowPos(::GetDlgItem(dialog, kTextId), nullptr, textLeft, textTop, text.right, text.bottom, SWP_NOZORDER);
  if (icon) {
    ::SetWindowPos(::GetDlgItem(dialog, kIconId), nullptr, kMargin, kMargin, kIcon, kIcon, SWP_NOZORDER);
    ::SendDlgItemMessageA(dialog, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(::LoadIconA(nullptr, SystemIconOf(r.Kind))), 0);
  }
  if (input) {
    ::SetWindowPos(::GetDlgItem(dialog, kEditId), nullptr, kMargin, y - kMargin / 2, width - 2 * kMargin, editHeight, SWP_NOZORDER);
    y += editHeight + kMargin / 2;
  }
  int x = (width - buttonsWidth) / 2;
  for (int i = 0; i < buttons; ++i, x += kButtonWidth + kGap)
    ::SetWindowPos(::GetDlgItem(dialog, kFirstBoxButtonId + i), nullptr, x, y, kButtonWidth, kButtonHeight, SWP_NOZORDER);
  RECT outer{0, 0, width, y + kButtonHeight + kMargin};
  ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongA(dialog, GWL_EXSTYLE)));
  int w = outer.right - outer.left, h = outer.bottom - outer.top;
  // Centred over the owner, as the class library's boxes are; on the screen without one.
  RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (box.Owner && ::IsWindowVisible(box.Owner)) ::GetWindowRect(box.Owner, &area);
  int left = std::max(0, static_cast<int>(area.left + (area.right - area.left - w) / 2));
  int top = std::max(0, static_cast<int>(area.top + (area.bottom - area.top - h) / 2));
  ::SetWindowPos(dialog, nullptr, left, top, w, h, SWP_NOZORDER);
}

INT_PTR CALLBACK BuiltBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* box = reinterpret_cast<TBuiltBox*>(::GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      box = reinterpret_cast<TBuiltBox*>(lParam);
      ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      LayOut(dialog, *box);
      const TMessageRequest& r = *box->Request;
      box->Impl->BoxShown(dialog);
      HWND focus = r.Kind == mkInput ? ::GetDlgItem(dialog, kEditId) : ::GetDlgItem(dialog, kFirstBoxButtonId + r.DefaultButton);
      if (r.Kind == mkInput) ::SendMessageA(focus, EM_SETSEL, 0, -1);
      ::SetFocus(focus);
      return FALSE;
    }
    case WM_COMMAND: {
      if (!box || HIWORD(wParam) != BN_CLICKED) return FALSE;
      const TMessageRequest& r = *box->Request;
      int id = LOWORD(wParam);
      int answer = id == IDCANCEL ? r.CancelButton
                   : id == IDOK   ? r.DefaultButton
                                  : id - kFirstBoxButtonId;
      if (answer < 0 || answer >= static_cast<int>(r.Buttons.size())) return FALSE;
      box->Answer = answer;
      box->Value = r.Kind == mkInput && id != IDCANCEL ? WindowText(::GetDlgItem(dialog, kEditId)) : r.Value;
      ::EndDialog(dialog, 1);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

void TWin32Impl::BoxShown(HWND box) {
  Box = box;
  ::PostMessageA(Utility, kBoxShownMessage, reinterpret_cast<WPARAM>(box), 0);
}

TMessageAnswer TWin32Impl::Ask(const TMessageRequest& request) {
  if (request.Owner) App = &request.Owner->Application();
  HWND owner = WindowOfForm(request.Owner);
  if (owner && !::IsWindowVisible(owner)) owner = nullptr;
  if (!owner) owner = ::GetActiveWindow();
  TMessageAnswer answer{request.CancelButton, request.Value};
  const TMessageRequest* outerRequest = BoxRequest;
  HWND outerBox = Box;
  std::vector<int> outerIds = BoxIds;
  BoxRequest = &request;
  Box = nullptr;
  BoxEnded = false;
  if (const TStandardSet* set = StandardSetOf(request)) {
    BoxIds = set->Ids;
    UINT type = set->Type | IconOf(request.Kind) | (request.DefaultButton == 1   ? MB_DEFBUTTON2
                                                     : request.DefaultButton == 2 ? MB_DEFBUTTON3
                                                                                  : MB_DEFBUTTON1);
    if (!owner) type |= MB_TASKMODAL;
    TWin32Impl* outerHooked = hookedImpl;
    HHOOK outerHook = hook;
    hookedImpl = this;
    hook = ::SetWindowsHookExA(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
    int result = ::MessageBoxA(owner, request.Text.c_str(), request.Caption.c_str(), type);
    if (hook) ::UnhookWindowsHookEx(hook);
    hook = outerHook;
    hookedImpl = outerHooked;
    for (size_t i = 0; i < set->Ids.size(); ++i)
      if (set->Ids[i] == result) answer.Button = static_cast<int>(i);
  } else {
    BoxIds.clear();
    for (size_t i = 0; i < request.Buttons.size(); ++i) BoxIds.push_back(kFirstBoxButtonId + static_cast<int>(i));
    bool input = request.Kind == mkInput;
    bool icon = !input && SystemIconOf(request.Kind);
    TTemplate t;
    WORD items = static_cast<WORD>(1 + (icon ? 1 : 0) + (input ? 1 : 0) + request.Buttons.size());
    t.Dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, items, request.Caption);
    t.Item(WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kTextId, 0x0082, request.Text);
    if (icon) t.Item(WS_CHILD | WS_VISIBLE | SS_ICON, kIconId, 0x0082, "");
    if (input) t.Item(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kEditId, 0x0081, request.Value);
    for (size_t i = 0; i < request.Buttons.size(); ++i)
      t.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                 (static_cast<int>(i) == request.DefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
             static_cast<WORD>(kFirstBoxButtonId + i), 0x0080, request.Buttons[i]);
    TBuiltBox box{this, &request, owner, request.CancelButton, request.Value};
    if (::DialogBoxIndirectParamA(Instance, t.Get(), owner, BuiltBoxProc, reinterpret_cast<LPARAM>(&box)) > 0) {
      answer.Button = box.Answer;
      answer.Value = box.Value;
    }
  }
  if (BoxEnded) answer = {request.CancelButton, request.Value};
  BoxRequest = outerRequest;
  Box = outerBox;
  BoxIds = outerIds;
  BoxEnded = false;
  return answer;
}

void TWin32Impl::EndBox() {
  if (!Box || !BoxRequest || BoxEnded) return;
  BoxEnded = true;
  size_t cancel = static_cast<size_t>(BoxRequest->CancelButton);
  int id = cancel < BoxIds.size() ? BoxIds[cancel] : IDCANCEL;
  ::PostMessageA(Box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(Box, id)));
}

bool TWin32Impl::PressBoxButton(int index) {
  if (!Box || index < 0 || static_cast<size_t>(index) >= BoxIds.size()) return false;
  HWND button = ::GetDlgItem(Box, BoxIds[static_cast<size_t>(index)]);
  return button && ::PostMessageA(button, BM_CLICK, 0, 0);
}

}  // namespace tovin::ui::win32
