// What the backend draws itself: the face of forms and containers with the bevels of a panel
// and the frame of a group box, the windowless controls over it in creation order (labels,
// shadowed labels, pictures; the gradient has a file of its own), and the items of a check list.
#include <algorithm>

#include "ui/win32/win32_impl.h"

namespace tovin::ui::win32 {
namespace {

constexpr int kCheckBoxSize = 13;

class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
  ~TSavedDC() { ::RestoreDC(dc_, saved_); }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// One bevel of a panel, as the class library's Frame3D draws it: width lines of the top-left
// colour along the top and left, of the bottom-right colour along the bottom and right.
void Bevel(HDC dc, RECT& r, TPanelBevel bevel, int width) {
  if (bevel == bvNone) return;
  COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), dark = ::GetSysColor(COLOR_BTNSHADOW);
  COLORREF topLeft = bevel == bvRaised ? light : dark, bottomRight = bevel == bvRaised ? dark : light;
  for (int i = 0; i < width && r.right - r.left > 1 && r.bottom - r.top > 1; ++i) {
    HPEN tl = ::CreatePen(PS_SOLID, 1, topLeft), br = ::CreatePen(PS_SOLID, 1, bottomRight);
    HGDIOBJ old = ::SelectObject(dc, tl);
    ::MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    ::LineTo(dc, r.left, r.top);
    ::LineTo(dc, r.right - 1, r.top);
    ::SelectObject(dc, br);
    ::MoveToEx(dc, r.right - 1, r.top, nullptr);
    ::LineTo(dc, r.right - 1, r.bottom - 1);
    ::LineTo(dc, r.left - 1, r.bottom - 1);
    ::SelectObject(dc, old);
    ::DeleteObject(tl);
    ::DeleteObject(br);
    ::InflateRect(&r, -1, -1);
  }
}

}  // namespace

void TWin32Impl::PaintContainer(TNative& n, HDC dc) {
  TControl& c = *n.Control;
  RECT client;
  ::GetClientRect(n.Hwnd, &client);
  ::FillRect(dc, &client, Gdi.Brush(TGdiObjects::Rgb(c.Color())));
  if (auto* panel = dynamic_cast<TPanel*>(&c)) {
    RECT r = client;
    Bevel(dc, r, panel->BevelOuter(), panel->BevelWidth());
    Bevel(dc, r, panel->BevelInner(), panel->BevelWidth());
    if (!c.Caption().empty()) {
      TSavedDC saved(dc);
      ::SelectObject(dc, Gdi.Font(c.Font()));
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, TGdiObjects::Rgb(c.Font().Color));
      ::DrawTextA(dc, c.Caption().c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
  } else if (dynamic_cast<TGroupBox*>(&c)) {
    TSavedDC saved(dc);
    ::SelectObject(dc, Gdi.Font(c.Font()));
    TSize caption = Gdi.Extent(c.Font(), c.Caption());
    RECT frame{client.left, client.top + caption.Height / 2, client.right, client.bottom};
    ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!c.Caption().empty()) {
      ::SetBkMode(dc, OPAQUE);
      ::SetBkColor(dc, TGdiObjects::Rgb(c.Color()));
      ::SetTextColor(dc, c.Enabled() ? TGdiObjects::Rgb(c.Font().Color) : ::GetSysColor(COLOR_GRAYTEXT));
      std::string text = StripAccelerator(c.Caption());
      ::TextOutA(dc, 8, 0, text.data(), static_cast<int>(text.size()));
    }
  }
  // Windowless controls, in creation order, each over what lies below it.
  std::vector<std::pair<TControl*, POINT>> pending;
  for (TControl* child : c.Controls()) pending.push_back({child, {0, 0}});
  for (size_t i = 0; i < pending.size(); ++i) {
    auto [child, origin] = pending[i];
    if (child->Windowed() || !child->Visible()) continue;
    RECT bounds{origin.x + child->Left(), origin.y + child->Top(), origin.x + child->Left() + child->Width(),
                origin.y + child->Top() + child->Height()};
    if (TNative* cn = Find(*child)) cn->Painted = bounds;
    PaintWindowless(*child, dc, bounds);
    size_t at = i + 1;
    for (TControl* grandchild : child->Controls())
      pending.insert(pending.begin() + static_cast<long>(at++), {grandchild, {bounds.left, bounds.top}});
  }
}

void TWin32Impl::PaintWindowless(TControl& control, HDC dc, const RECT& bounds) {
  TNative* n = Find(control);
  if (!n) return;  // not announced yet
  if (auto* fill = dynamic_cast<TFountainFill*>(&control)) PaintGradient(*n, *fill, dc, bounds);
  else if (auto* label = dynamic_cast<TLabel*>(&control)) PaintLabel(*label, dc, bounds);
  else if (auto* image = dynamic_cast<TImage*>(&control)) PaintImage(*n, *image, dc, bounds);
}

void TWin32Impl::PaintLabel(TLabel& label, HDC dc, const RECT& bounds) {
  TSavedDC saved(dc);
  ::IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  if (!label.Transparent()) ::FillRect(dc, &bounds, Gdi.Brush(TGdiObjects::Rgb(label.Color())));
  ::SelectObject(dc, Gdi.Font(label.Font()));
  ::SetBkMode(dc, TRANSPARENT);
  auto* shadowed = dynamic_cast<TShadowLabel*>(&label);
  int shadow = shadowed ? std::max(shadowed->ShadowSize(), 0) : 0;
  int lineHeight = Gdi.Extent(label.Font(), "").Height;
  auto draw = [&](COLORREF color, int offset) {
    ::SetTextColor(dc, color);
    int y = bounds.top + offset;
    for (const std::string& line : label.Lines()) {
      int width = Gdi.Extent(label.Font(), line).Width, room = bounds.right - bounds.left - shadow;
      int x = bounds.left + (label.Alignment() == taCenter         ? (room - width) / 2
                             : label.Alignment() == taRightJustify ? room - width
                                                                   : 0);
      ::TextOutA(dc, x + offset, y, line.data(), static_cast<int>(line.size()));
      y += lineHeight;
    }
  };
  if (!label.Enabled()) {
    // Disabled text is embossed, as Windows draws it.
    draw(::GetSysColor(COLOR_BTNHIGHLIGHT), 1);
    draw(::GetSysColor(COLOR_BTNSHADOW), 0);
    return;
  }
  if (shadow > 0) draw(TGdiObjects::Rgb(shadowed->ShadowColor()), shadow);
  draw(TGdiObjects::Rgb(label.Font().Color), 0);
}

void TWin32Impl::PaintImage(TNative& n, TImage& image, HDC dc, const RECT& bounds) {
  TSavedDC saved(dc);
  ::IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  if (!image.Transparent() && !image.ProgramIcon())
    ::FillRect(dc, &bounds, Gdi.Brush(TGdiObjects::Rgb(image.Parent() ? image.Parent()->Color() : image.Color())));
  if (image.ProgramIcon()) {
    ::DrawIconEx(dc, bounds.left, bounds.top, Gdi.ProgramIcon(image.Width(), image.Height()), image.Width(),
                 image.Height(), 0, nullptr, DI_NORMAL);
    return;
  }
  if (image.PictureFile().empty()) return;
  if (!n.Picture || n.Picture->File() != image.PictureFile()) {
    n.Picture.reset();
    try {
      n.Picture = TPicture::Load(image.PictureFile());
    } catch (const Exception&) {
      return;  // the form that placed the picture has reported it already
    }
  }
  n.Picture->Draw(dc, bounds.left, bounds.top);
}

void TWin32Impl::DrawCheckListItem(TNative& n, const DRAWITEMSTRUCT& item) {
  auto& list = static_cast<TCheckListBox&>(*n.Control);
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= list.Items().size()) {
    ::FillRect(dc, &r, Gdi.Brush(TGdiObjects::Rgb(list.Color())));
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &r);
    return;
  }
  int index = static_cast<int>(item.itemID);
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  ::FillRect(dc, &r, Gdi.Brush(TGdiObjects::Rgb(list.Color())));
  RECT box{r.left + 2, r.top + (r.bottom - r.top - kCheckBoxSize) / 2, 0, 0};
  box.right = box.left + kCheckBoxSize;
  box.bottom = box.top + kCheckBoxSize;
  ::DrawFrameControl(dc, &box, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT | (list.Checked(index) ? DFCS_CHECKED : 0) |
                         (list.Enabled() ? 0 : DFCS_INACTIVE));
  RECT text{box.right + 4, r.top, r.right, r.bottom};
  TSavedDC saved(dc);
  ::SelectObject(dc, Gdi.Font(list.Font()));
  if (selected) ::FillRect(dc, &text, ::GetSysColorBrush(COLOR_HIGHLIGHT));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT)
                     : list.Enabled() ? TGdiObjects::Rgb(list.Font().Color)
                                      : ::GetSysColor(COLOR_GRAYTEXT));
  const std::string& label = list.Items()[item.itemID];
  RECT inner = text;
  inner.left += 2;
  ::DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &text);
}

TControl* TWin32Impl::HitWindowless(TControl& container, POINT point) const {
  TControl* hit = nullptr;
  for (TControl* child : container.Controls()) {
    if (child->Windowed() || !child->Visible()) continue;
    if (point.x >= child->Left() && point.x < child->Left() + child->Width() && point.y >= child->Top() &&
        point.y < child->Top() + child->Height())
      hit = child;  // the last one found lies on top
  }
  return hit;
}

}  // namespace tovin::ui::win32
