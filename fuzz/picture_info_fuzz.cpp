// Picture headers of arbitrary bytes, read as each kind of picture file: the defined errors only.
#include "ui/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovin;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const char* extension : {"bmp", "ico", "wmf", "emf"}) {
    try {
      MemoryStream in(bytes);
      ui::PictureInfo info = ui::ReadPictureInfo(in, extension);
      if (info.Width <= 0 || info.Height <= 0 || info.Width > ui::kMaxPictureSide || info.Height > ui::kMaxPictureSide)
        __builtin_trap();
    } catch (const ui::EInvalidGraphic&) {
    }
  }
  return 0;
}
