// The window procedures: forms and containers (our own windows), the native controls (whose
// own procedure we stand in front of), and the utility window that receives timers and wake-ups.
// What the user does reaches the model through Deliver and FromUser: nothing here lets an
// exception into the window system.
#include "ui/win32/win32_impl.h"

namespace tovin::ui::win32 {
namespace {

TForm* FormOf(TControl& control) { return control.Form(); }

POINT PointOf(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

LRESULT CALLBACK TWin32Impl::ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* native = static_cast<TNative*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (native) native->Hwnd = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(native));
  }
  TNative* n = FromWindow(hwnd);
  if (!n || !n->Control) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    n->Hwnd = nullptr;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }
  return n->Impl->ContainerMessage(*n, message, wParam, lParam);
}

LRESULT TWin32Impl::ContainerMessage(TNative& n, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = n.Hwnd;
  TControl& c = *n.Control;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      PaintContainer(n, dc);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_COMMAND:
      if (TNative* child = FromWindow(reinterpret_cast<HWND>(lParam)); child && child->Control)
        Command(*child, HIWORD(wParam));
      return 0;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (TNative* child = FromWindow(item->hwndItem); child && child->Kind == kCheckList) DrawCheckListItem(*child, *item);
      return TRUE;
    }
    case WM_MEASUREITEM:
      // Sent while a check list is made; its font sets the real height right after.
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 16;
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      TNative* child = FromWindow(reinterpret_cast<HWND>(lParam));
      if (!child || !child->Control) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      TControl& ctl = *child->Control;
      COLORREF background = TGdiObjects::Rgb(ctl.Color());
      ::SetTextColor(dc, TGdiObjects::Rgb(ctl.Font().Color));
      ::SetBkColor(dc, background);
      return reinterpret_cast<LRESULT>(Gdi.Brush(background));
    }
    case WM_LBUTTONDOWN: {
      POINT p = PointOf(lParam);
      TControl* target = HitWindowless(c, p);
      Pressed = target ? target : &c;
      ::SetCapture(hwnd);
      return 0;
    }
    case WM_LBUTTONUP: {
      if (::GetCapture() == hwnd) ::ReleaseCapture();
      POINT p = PointOf(lParam);
      TControl* target = HitWindowless(c, p);
      if (!target) target = &c;
      RECT client;
      ::GetClientRect(hwnd, &client);
      TControl* pressed = Pressed;
      Pressed = nullptr;
      if (pressed == target && ::PtInRect(&client, p) && FormOf(*target))
        Deliver(FormOf(*target)->Application(), [target] { target->Click(); });
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      TControl* target = HitWindowless(c, PointOf(lParam));
      if (!target) target = &c;
      if (FormOf(*target)) Deliver(FormOf(*target)->Application(), [target] { target->DblClick(); });
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        TControl* under = nullptr;
        if (reinterpret_cast<HWND>(wParam) == hwnd) {
          POINT p;
          ::GetCursorPos(&p);
          ::ScreenToClient(hwnd, &p);
          under = HitWindowless(c, p);
        } else if (TNative* child = FromWindow(reinterpret_cast<HWND>(wParam))) {
          under = child->Control;
        }
        if (under && under->Cursor() == crHandPoint) {
          ::SetCursor(Gdi.HandCursor());
          return TRUE;
        }
      }
      break;
    default:
      break;
  }
  if (n.Kind == kForm) {
    auto& form = static_cast<TForm&>(c);
    switch (message) {
      case WM_CLOSE:
        Deliver(form.Application(), [&form] { form.Close(); });
        return 0;
      case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
          FocusActive(form);
          return 0;
        }
        break;
      case WM_WINDOWPOSCHANGED: {
        // The user moved the window: the model learns where it is.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOMOVE) && (pos->x != form.Left() || pos->y != form.Top()) && form.Visible() &&
            ::IsWindowVisible(hwnd)) {
          int x = pos->x, y = pos->y;
          FromUser(form, prBounds, [&form, x, y] { form.SetBounds(x, y, form.Width(), form.Height()); });
        }
        return 0;
      }
      case WM_DISPLAYCHANGE:
        Deliver(form.Application(), [&form] { form.Application().ScreenChanged(); });
        return 0;
      default:
        break;
    }
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void TWin32Impl::Command(TNative& n, int code) {
  TControl& c = *n.Control;
  if (!c.Form()) return;
  TApplication& app = c.Form()->Application();
  switch (n.Kind) {
    case kButton:
    case kCheckBox:
    case kRadioButton:
      if (code == BN_CLICKED) Deliver(app, [&c] { c.Click(); });
      break;
    case kEdit:
      if (code == EN_CHANGE && !n.Updating) {
        std::string text = WindowText(n.Hwnd);
        FromUser(c, prCaption, [&c, text] { c.SetText(text); });
      }
      break;
    case kMemo:
      if (code == EN_CHANGE && !n.Updating) {
        std::string text = WindowText(n.Hwnd);
        auto& memo = static_cast<TMemo&>(c);
        FromUser(c, prLines, [&memo, text] { memo.SetLines(SplitMemoLines(text)); });
      }
      break;
    case kListBox:
    case kCheckList:
      if (code == LBN_SELCHANGE && !n.Updating) {
        int index = static_cast<int>(::SendMessageA(n.Hwnd, LB_GETCURSEL, 0, 0));
        auto& list = static_cast<TListBox&>(c);
        FromUser(c, prItemIndex, [&list, index] { list.SetItemIndex(index); });
      } else if (code == LBN_DBLCLK) {
        Deliver(app, [&c] { c.DblClick(); });
      }
      break;
    case kComboBox:
      if (code == CBN_SELCHANGE && !n.Updating) {
        int index = static_cast<int>(::SendMessageA(n.Hwnd, CB_GETCURSEL, 0, 0));
        auto& drives = static_cast<TDriveComboBox&>(c);
        FromUser(c, prItemIndex, [&drives, index] {
          if (index >= 0 && static_cast<size_t>(index) < drives.Items().size())
            drives.SetDrive(drives.Items()[static_cast<size_t>(index)]);
        });
      }
      break;
    default:
      break;
  }
}

LRESULT CALLBACK TWin32Impl::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  TNative* n = FromWindow(hwnd);
  if (!n || !n->Original) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    WNDPROC original = n->Original;
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    n->Hwnd = nullptr;
    n->Original = nullptr;
    return ::CallWindowProcA(original, hwnd, message, wParam, lParam);
  }
  return n->Impl->ControlMessage(*n, message, wParam, lParam);
}

LRESULT TWin32Impl::ControlMessage(TNative& n, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = n.Hwnd;
  WNDPROC original = n.Original;
  TControl& c = *n.Control;
  switch (message) {
    case WM_SETFOCUS: {
      LRESULT result = ::CallWindowProcA(original, hwnd, message, wParam, lParam);
      if (TForm* form = c.Form(); form && form->ActiveControl() != &c)
        FromUser(*form, prFocus, [form, &c] { form->SetActiveControl(&c); });
      return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (n.Kind == kCheckList) {
        // A click on an item's box ticks it, as the check list box of the class library does.
        LRESULT result = ::CallWindowProcA(original, hwnd, message, wParam, lParam);
        POINT p = PointOf(lParam);
        LRESULT hit = ::SendMessageA(hwnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
        int index = LOWORD(hit);
        auto& list = static_cast<TCheckListBox&>(c);
        if (HIWORD(hit) == 0 && p.x < 18 && index < static_cast<int>(list.Items().size()) && c.Form())
          Deliver(c.Form()->Application(), [&list, index] { list.ClickCheck(index); });
        return result;
      }
      break;
    case WM_CHAR:
      if (n.Kind == kCheckList && wParam == ' ') {
        int index = static_cast<int>(::SendMessageA(hwnd, LB_GETCURSEL, 0, 0));
        auto& list = static_cast<TCheckListBox&>(c);
        if (index >= 0 && index < static_cast<int>(list.Items().size()) && c.Form())
          Deliver(c.Form()->Application(), [&list, index] { list.ClickCheck(index); });
        return 0;
      }
      break;
    default:
      break;
  }
  return ::CallWindowProcA(original, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TWin32Impl::UtilityProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  auto* impl = reinterpret_cast<TWin32Impl*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!impl) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_TIMER:
      impl->FireTimer(wParam);
      return 0;
    case kWakeMessage:
      impl->WakePosted = false;
      if (impl->Box && (impl->Faulted || (impl->App && impl->App->Terminated()))) impl->EndBox();
      return 0;
    case kBoxShownMessage:
      if (impl->Box == reinterpret_cast<HWND>(wParam) && impl->BoxRequest && impl->Backend.OnBoxShown && impl->App) {
        auto shown = impl->Backend.OnBoxShown;
        const TMessageRequest& request = *impl->BoxRequest;
        impl->Deliver(*impl->App, [&] { shown(request); });
      }
      return 0;
    default:
      return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

}  // namespace tovin::ui::win32
