// Making, changing and destroying the native window of each control.
#include <algorithm>
#include <cmath>

#include "ui/win32/win32_impl.h"

#include <commctrl.h>

namespace tovin::ui::win32 {
namespace {

// The drop-down list of the drive box lies below its edit part, inside the window's height.
constexpr int kDropDownHeight = 200;
constexpr int kProgressSteps = 1000;

TKind KindOf(const TControl& c) {
  if (dynamic_cast<const TForm*>(&c)) return kForm;
  if (!c.Windowed()) return kWindowless;
  if (dynamic_cast<const TButton*>(&c)) return kButton;
  if (dynamic_cast<const TCheckBox*>(&c)) return kCheckBox;
  if (dynamic_cast<const TRadioButton*>(&c)) return kRadioButton;
  if (dynamic_cast<const TEdit*>(&c)) return kEdit;
  if (dynamic_cast<const TMemo*>(&c)) return kMemo;
  if (dynamic_cast<const TDriveComboBox*>(&c)) return kComboBox;
  if (dynamic_cast<const TCheckListBox*>(&c)) return kCheckList;
  if (dynamic_cast<const TListBox*>(&c)) return kListBox;
  if (dynamic_cast<const TProgressBar*>(&c)) return kProgressBar;
  return kContainer;
}

struct TWindowClass {
  const char* Name;
  DWORD Style;
  DWORD ExStyle;
};

DWORD MemoStyle(const TMemo& memo) {
  DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;
  if (!memo.WordWrap()) style |= ES_AUTOHSCROLL;
  if (memo.ScrollBars() == ssVertical || memo.ScrollBars() == ssBoth) style |= WS_VSCROLL;
  if (memo.ScrollBars() == ssHorizontal || memo.ScrollBars() == ssBoth) style |= WS_HSCROLL;
  if (memo.ReadOnly()) style |= ES_READONLY;
  return style;
}

TWindowClass ClassOf(const TNative& n) {
  const TControl& c = *n.Control;
  switch (n.Kind) {
    case kButton: {
      auto& b = static_cast<const TButton&>(c);
      return {"BUTTON", static_cast<DWORD>(WS_TABSTOP | (b.Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)), 0};
    }
    // Not the automatic kinds: the model decides what a click does and tells the window.
    case kCheckBox: return {"BUTTON", WS_TABSTOP | BS_CHECKBOX, 0};
    case kRadioButton: return {"BUTTON", WS_TABSTOP | BS_RADIOBUTTON, 0};
    case kEdit: return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case kMemo: {
      auto& m = static_cast<const TMemo&>(c);
      return {"EDIT", WS_TABSTOP | MemoStyle(m), static_cast<DWORD>(m.BorderStyle() == bsNone ? 0 : WS_EX_CLIENTEDGE)};
    }
    case kListBox:
      return {"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
    case kCheckList:
      return {"LISTBOX",
              WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
              WS_EX_CLIENTEDGE};
    case kComboBox: return {"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case kProgressBar: return {PROGRESS_CLASSA, 0, WS_EX_STATICEDGE};
    default: return {"TovinContainer", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
  }
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  return text;
}

}  // namespace

TNative::~TNative() {
  if (Palette) ::DeleteObject(Palette);
}

std::string WindowText(HWND hwnd) {
  int length = ::GetWindowTextLengthA(hwnd);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int got = ::GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return text;
}

TNative* TWin32Impl::Find(const TControl& control) const {
  auto it = Natives.find(&control);
  return it == Natives.end() ? nullptr : it->second.get();
}

TNative* TWin32Impl::FromWindow(HWND hwnd) {
  return hwnd ? reinterpret_cast<TNative*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA)) : nullptr;
}

void TWin32Impl::Create(TControl& control) {
  auto made = std::make_unique<TNative>();
  made->Impl = this;
  made->Control = &control;
  made->Kind = KindOf(control);
  TNative& n = *made;
  Natives[&control] = std::move(made);
  if (n.Kind == kForm) {
    App = &static_cast<TForm&>(control).Application();
    CreateForm(n);
  } else if (n.Kind == kWindowless) {
    InvalidateWindowless(n);
    return;
  } else {
    CreateChild(n);
  }
  ApplyAll(n);
}

void TWin32Impl::CreateChild(TNative& n) {
  TControl& c = *n.Control;
  RECT bounds{};
  HWND parent = HostOf(c, &bounds);
  if (!parent) return;
  TWindowClass cls = ClassOf(n);
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | cls.Style | (c.Visible() ? WS_VISIBLE : 0) | (c.Enabled() ? 0 : WS_DISABLED);
  int height = bounds.bottom - bounds.top + (n.Kind == kComboBox ? kDropDownHeight : 0);
  n.Hwnd = ::CreateWindowExA(cls.ExStyle, cls.Name, c.Text().c_str(), style, bounds.left, bounds.top,
                             bounds.right - bounds.left, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextId++)), Instance, &n);
  if (!n.Hwnd) return;
  ::SetWindowLongPtrA(n.Hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&n));
  if (n.Kind != kContainer)
    n.Original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(n.Hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWin32Impl::ControlProc)));
}

void TWin32Impl::ApplyAll(TNative& n) {
  static const TProperty kAll[] = {prFont, prItems, prItemIndex, prChecked, prLines, prPosition, prWindow};
  for (TProperty p : kAll) Apply(n, p);
  if (n.Kind == kEdit) Apply(n, prCaption);
}

void TWin32Impl::Destroy(TControl& control) {
  auto it = Natives.find(&control);
  if (it == Natives.end()) return;
  TNative& n = *it->second;
  if (Pressed == &control) Pressed = nullptr;
  if (n.Kind == kWindowless) {
    InvalidateWindowless(n);
  } else if (n.Hwnd) {
    HWND hwnd = n.Hwnd;
    ::DestroyWindow(hwnd);  // clears n.Hwnd on WM_NCDESTROY
  }
  Natives.erase(it);
}

HWND TWin32Impl::HostOf(const TControl& control, RECT* bounds) const {
  int x = control.Left(), y = control.Top();
  for (const TControl* p = control.Parent(); p; p = p->Parent()) {
    if (TNative* host = Find(*p); host && host->Hwnd) {
      if (bounds) *bounds = {x, y, x + control.Width(), y + control.Height()};
      return host->Hwnd;
    }
    x += p->Left();
    y += p->Top();
  }
  return nullptr;
}

void TWin32Impl::InvalidateWindowless(TNative& n) {
  RECT now{};
  HWND host = HostOf(*n.Control, &now);
  if (!host) return;
  if (!::IsRectEmpty(&n.Painted)) ::InvalidateRect(host, &n.Painted, FALSE);
  ::InvalidateRect(host, &now, FALSE);
  n.Painted = now;
}

void TWin32Impl::FillItems(TNative& n) {
  auto& list = static_cast<TListBox&>(*n.Control);
  bool combo = n.Kind == kComboBox;
  n.Updating = true;
  ::SendMessageA(n.Hwnd, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (const std::string& item : list.Items())
    ::SendMessageA(n.Hwnd, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  ::SendMessageA(n.Hwnd, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex()), 0);
  n.Updating = false;
}

void TWin32Impl::Apply(TNative& n, TProperty property) {
  TControl& c = *n.Control;
  if (n.Kind == kWindowless) {
    if (property != prCursor && property != prTabStop) InvalidateWindowless(n);
    return;
  }
  if (!n.Hwnd) return;
  HWND hwnd = n.Hwnd;
  switch (property) {
    case prCaption:
      n.Updating = true;
      ::SetWindowTextA(hwnd, c.Text().c_str());
      n.Updating = false;
      if (n.Kind == kContainer) ::InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case prVisible:
      if (n.Kind != kForm) ::ShowWindow(hwnd, c.Visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case prEnabled:
      if (n.Kind != kForm) ::EnableWindow(hwnd, c.Enabled());
      break;
    case prBounds:
      if (n.Kind == kForm) {
        ::SetWindowPos(hwnd, nullptr, c.Left(), c.Top(), c.Width(), c.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
      } else {
        RECT r{};
        HostOf(c, &r);
        int extra = n.Kind == kComboBox ? kDropDownHeight : 0;
        ::SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top + extra,
                       SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    case prFont:
      ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Gdi.Font(c.Font())), TRUE);
      if (n.Kind == kCheckList) {
        int height = std::max(Gdi.Extent(c.Font(), "").Height + 2, 16);
        ::SendMessageA(hwnd, LB_SETITEMHEIGHT, 0, height);
      }
      ::InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case prColor:
      ::InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case prAppearance:
      if (n.Kind == kMemo) {
        auto& memo = static_cast<TMemo&>(c);
        DWORD want = MemoStyle(memo) & ~ES_READONLY, have = static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE));
        bool border = (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
        if ((have & (ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL)) != (want & (ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL)) ||
            border != (memo.BorderStyle() != bsNone)) {
          // Wrapping, scroll bars and the border are fixed when an edit window is made.
          ::DestroyWindow(hwnd);
          CreateChild(n);
          ApplyAll(n);
          return;
        }
        ::SendMessageA(hwnd, EM_SETREADONLY, memo.ReadOnly(), 0);
      }
      ::InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case prChecked:
      if (n.Kind == kCheckBox)
        ::SendMessageA(hwnd, BM_SETCHECK, static_cast<TCheckBox&>(c).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      else if (n.Kind == kRadioButton)
        ::SendMessageA(hwnd, BM_SETCHECK, static_cast<TRadioButton&>(c).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      else if (n.Kind == kCheckList)
        ::InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case prItems:
      if (n.Kind == kListBox || n.Kind == kCheckList || n.Kind == kComboBox) FillItems(n);
      break;
    case prItemIndex:
      if (n.Kind == kListBox || n.Kind == kCheckList || n.Kind == kComboBox) {
        n.Updating = true;
        ::SendMessageA(hwnd, n.Kind == kComboBox ? CB_SETCURSEL : LB_SETCURSEL,
                       static_cast<WPARAM>(static_cast<TListBox&>(c).ItemIndex()), 0);
        n.Updating = false;
      }
      break;
    case prLines:
      if (n.Kind == kMemo) {
        n.Updating = true;
        ::SetWindowTextA(hwnd, Joined(static_cast<TMemo&>(c).Lines()).c_str());
        n.Updating = false;
      }
      break;
    case prPosition:
      if (n.Kind == kProgressBar) {
        // The model clamps what is drawn (Fraction); the bar only shows it.
        ::SendMessageA(hwnd, PBM_SETRANGE32, 0, kProgressSteps);
        ::SendMessageA(hwnd, PBM_SETPOS, static_cast<WPARAM>(std::lround(static_cast<TProgressBar&>(c).Fraction() * kProgressSteps)), 0);
      }
      break;
    case prButtonRole:
      if (n.Kind == kButton)
        ::SendMessageA(hwnd, BM_SETSTYLE, static_cast<TButton&>(c).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
      break;
    case prWindow:
      if (n.Kind == kForm) ApplyWindowStyle(n);
      break;
    case prFocus:
      if (n.Kind == kForm && ::GetActiveWindow() == hwnd) FocusActive(static_cast<TForm&>(c));
      break;
    case prCursor:
    case prTabStop:
    case prPageIndex:
    case prPicture:
    case prGradient:
      break;
  }
}

}  // namespace tovin::ui::win32
