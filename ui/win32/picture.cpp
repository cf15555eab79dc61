#include "ui/win32/picture.h"

#include <cstdlib>
#include <cstring>

#include "platform/byte_order.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "ui/picture_file.h"

namespace tovin::ui::win32 {
namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableHeader = 22;

std::vector<uint8_t> ReadAll(const std::string& path) {
  auto file = plat::OpenFile(path, plat::Access::Read, plat::Share::DenyWrite, plat::Disposition::OpenExisting);
  if (!file) throw EFOpenError("Cannot open file " + path);
  std::vector<uint8_t> data(static_cast<size_t>(file->Size()));
  if (!data.empty() && file->Read(data.data(), static_cast<int64_t>(data.size())) != static_cast<int64_t>(data.size()))
    throw EFOpenError("Cannot open file " + path);
  return data;
}

uint32_t U32(const std::vector<uint8_t>& d, size_t at) { return at + 4 <= d.size() ? static_cast<uint32_t>(GetLE32(&d[at])) : 0; }

}  // namespace

std::unique_ptr<TPicture> TPicture::Load(const std::string& path) {
  PictureInfo info = ReadPictureInfo(path);
  std::unique_ptr<TPicture> p(new TPicture);
  p->file_ = path;
  p->width_ = info.Width;
  p->height_ = info.Height;
  p->data_ = ReadAll(path);
  const std::vector<uint8_t>& d = p->data_;
  switch (info.Kind) {
    case PictureInfo::pkBitmap: {
      uint32_t bitsAt = U32(d, 10);
      if (d.size() < 14 + sizeof(BITMAPINFOHEADER) || bitsAt >= d.size()) throw EInvalidGraphic("Bitmap image is not valid");
      p->info_ = reinterpret_cast<const BITMAPINFO*>(&d[14]);
      p->bits_ = &d[bitsAt];
      break;
    }
    case PictureInfo::pkIcon: {
      // The first image of the directory, as the reader measured it.
      uint32_t size = U32(d, 6 + 8), at = U32(d, 6 + 12);
      if (at >= d.size() || size > d.size() - at) throw EInvalidGraphic("Icon image is not valid");
      p->icon_ = ::CreateIconFromResourceEx(const_cast<uint8_t*>(&d[at]), size, TRUE, 0x00030000, info.Width,
                                            info.Height, LR_DEFAULTCOLOR);
      if (!p->icon_) throw EInvalidGraphic("Icon image is not valid");
      break;
    }
    case PictureInfo::pkMetafile: {
      size_t skip = U32(d, 0) == kPlaceableKey ? kPlaceableHeader : 0;
      METAFILEPICT pict{MM_ANISOTROPIC, info.Width, info.Height, nullptr};
      p->metafile_ = ::SetWinMetaFileBits(static_cast<UINT>(d.size() - skip), &d[skip], nullptr, &pict);
      if (!p->metafile_) throw EInvalidGraphic("Bitmap image is not valid");
      break;
    }
    case PictureInfo::pkEnhMetafile:
      p->metafile_ = ::SetEnhMetaFileBits(static_cast<UINT>(d.size()), d.data());
      if (!p->metafile_) throw EInvalidGraphic("Bitmap image is not valid");
      break;
  }
  return p;
}

TPicture::~TPicture() {
  if (icon_) ::DestroyIcon(icon_);
  if (metafile_) ::DeleteEnhMetaFile(metafile_);
}

void TPicture::Draw(HDC dc, int left, int top) const {
  if (info_) {
    int height = std::abs(static_cast<int>(info_->bmiHeader.biHeight));
    ::StretchDIBits(dc, left, top, width_, height_, 0, 0, static_cast<int>(info_->bmiHeader.biWidth), height, bits_,
                    info_, DIB_RGB_COLORS, SRCCOPY);
  } else if (icon_) {
    ::DrawIconEx(dc, left, top, icon_, width_, height_, 0, nullptr, DI_NORMAL);
  } else if (metafile_) {
    RECT area{left, top, left + width_, top + height_};
    ::PlayEnhMetaFile(dc, metafile_, &area);
  }
}

}  // namespace tovin::ui::win32
