#include "ui/backend.h"

#include "ui/colors.h"
#include "ui/form.h"
#include "ui/label.h"

namespace tovin::ui {

TFrame TBackend::FrameOf(const TForm& form) const {
  // Windows 95 metrics: a dialog frame of 3 pixels, a sizing frame of 4, a caption of 18 plus
  // its line, a tool window's small caption of 14 plus its line.
  switch (form.BorderStyle()) {
    case bsNone: return {};
    case bsSingle:
    case bsDialog: return {3, 3 + 19, 3, 3};
    case bsSizeable: return {4, 4 + 19, 4, 4};
    case bsToolWindow: return {3, 3 + 15, 3, 3};
  }
  return {};
}

TSize TBackend::TextExtent(const TFont& font, const std::string& text) const { return FixedTextExtent(font, text); }

uint32_t TBackend::SysColor(int index) const { return DefaultSysColor(index); }

}  // namespace tovin::ui
