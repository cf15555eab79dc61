// What the Win32 backend keeps, shared by its files: the native window of every announced
// control, the timers, the open box, the GDI objects. Each file implements one part of
// TWin32Impl: native_windows.cpp (making and changing child windows), form_windows.cpp (top
// windows), window_procs.cpp (the window procedures), message_loop.cpp (loops and dialog
// keys), message_boxes.cpp (boxes), painting.cpp, gradient_painter.cpp and picture.cpp
// (what the backend draws itself), gdi_objects.cpp (fonts, brushes, colours).
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/fountain_fill.h"
#include "ui/ui.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/picture.h"
#include "ui/win32/win32_backend.h"

namespace tovin::ui::win32 {

// How a control is shown.
enum TKind {
  kForm,
  kContainer,  // panel, group box, page book, page: a window of ours that paints its frame
  kButton,
  kCheckBox,
  kRadioButton,
  kEdit,
  kMemo,
  kListBox,
  kCheckList,
  kComboBox,
  kProgressBar,
  kWindowless,  // painted by the window of its parent
};

class TWin32Impl;

struct TNative {
  TWin32Impl* Impl = nullptr;
  TControl* Control = nullptr;
  TKind Kind = kWindowless;
  HWND Hwnd = nullptr;
  WNDPROC Original = nullptr;  // a native control's own procedure, which ours passes messages on to
  bool Updating = false;       // the backend is setting the native text or selection itself
  RECT Painted{};              // windowless: where it was last put, in its host's client area
  std::unique_ptr<TPicture> Picture;  // a picture file of a TImage, loaded at its first paint
  HPALETTE Palette = nullptr;         // a gradient's logical palette
  uint64_t PaletteVersion = 0;
  ~TNative();
};

// Private messages of the utility window.
constexpr UINT kWakeMessage = WM_APP + 1;
constexpr UINT kBoxShownMessage = WM_APP + 2;
constexpr UINT_PTR kIdleTimerId = 1;
constexpr int kFirstBoxButtonId = 100;

class TWin32Impl {
 public:
  explicit TWin32Impl(TWin32Backend& backend);
  ~TWin32Impl();
  TWin32Impl(const TWin32Impl&) = delete;
  TWin32Impl& operator=(const TWin32Impl&) = delete;

  TWin32Backend& Backend;
  HINSTANCE Instance = nullptr;
  HWND Utility = nullptr;
  TApplication* App = nullptr;  // the application of the last loop, timer or box
  TGdiObjects Gdi;

  // Controls.
  TNative* Find(const TControl& control) const;
  static TNative* FromWindow(HWND hwnd);
  void Create(TControl& control);
  void Destroy(TControl& control);
  // Brings one property of the model to the native window.
  void Apply(TNative& native, TProperty property);
  // The window that paints a windowless control, and where the control lies in its client area.
  HWND HostOf(const TControl& control, RECT* bounds) const;
  // A windowless control's old and new areas are painted again.
  void InvalidateWindowless(TNative& native);

  // Forms.
  static DWORD FormStyle(const TForm& form);
  static DWORD FormExStyle(const TForm& form);
  void CreateForm(TNative& native);
  void ApplyWindowStyle(TNative& native);
  void ShowForm(TForm& form);
  void HideForm(TForm& form);
  // The model's ActiveControl gets the native focus (the form itself when it has none).
  void FocusActive(TForm& form);
  HWND WindowOfForm(const TForm* form) const;

  // Loops.
  void RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended);
  void ProcessMessages(TApplication& app);
  void Dispatch(MSG& msg);
  bool DialogKey(const MSG& msg);
  void Wake();
  // Deliver and FromUser that remember a fault, so a box can be closed when one is held.
  bool Deliver(TApplication& app, const TNotifyEvent& handler);
  bool FromUser(TControl& control, TProperty property, const TNotifyEvent& change);
  void Rethrow(TApplication& app);
  bool Faulted = false;
  bool WakePosted = false;

  // Timers.
  void TimerChanged(TTimer& timer);
  void TimerDestroyed(TTimer& timer);
  void FireTimer(UINT_PTR id);
  std::map<UINT_PTR, TTimer*> TimerOfId;
  std::map<const TTimer*, UINT_PTR> IdOfTimer;
  UINT_PTR NextTimerId = 100;

  // Boxes.
  TMessageAnswer Ask(const TMessageRequest& request);
  bool PressBoxButton(int index);
  // Closes the open box with its cancel button (the application ends, or a fault is held).
  void EndBox();
  void BoxShown(HWND box);
  HWND Box = nullptr;
  const TMessageRequest* BoxRequest = nullptr;
  std::vector<int> BoxIds;  // the dialog item of each button of the open box
  bool BoxEnded = false;    // the program, not the user, closed it

  // Painting.
  void PaintContainer(TNative& native, HDC dc);
  void PaintWindowless(TControl& control, HDC dc, const RECT& bounds);
  void PaintGradient(TNative& native, TFountainFill& fill, HDC dc, const RECT& bounds);
  void PaintLabel(TLabel& label, HDC dc, const RECT& bounds);
  void PaintImage(TNative& native, TImage& image, HDC dc, const RECT& bounds);
  void DrawCheckListItem(TNative& native, const DRAWITEMSTRUCT& item);
  // The topmost windowless control of container under point (client coordinates).
  TControl* HitWindowless(TControl& container, POINT point) const;

  // Window procedures.
  static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK UtilityProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ContainerMessage(TNative& native, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ControlMessage(TNative& native, UINT message, WPARAM wParam, LPARAM lParam);
  void Command(TNative& control, int code);
  TControl* Pressed = nullptr;  // where the left button went down

  std::unordered_map<const TControl*, std::unique_ptr<TNative>> Natives;
  int NextId = 1000;

 private:
  void CreateChild(TNative& native);
  void ApplyAll(TNative& native);
  void FillItems(TNative& native);
};

// The text of a native window, as 8-bit text.
std::string WindowText(HWND hwnd);

}  // namespace tovin::ui::win32
