// The package's picture as GDI draws it: a device-independent bitmap kept as read, an icon, or
// an enhanced metafile (a Windows metafile is converted on loading). The file is read through
// the platform layer and checked by the model's picture reader first, so a damaged file fails
// with the same message on every backend.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tovin::ui::win32 {

class TPicture {
 public:
  // Raises EInvalidGraphic or EFOpenError as ReadPictureInfo does.
  static std::unique_ptr<TPicture> Load(const std::string& path);
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  const std::string& File() const { return file_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Draws the picture at its own size with its top left corner at left, top.
  void Draw(HDC dc, int left, int top) const;

 private:
  TPicture() = default;
  std::string file_;
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> data_;
  const BITMAPINFO* info_ = nullptr;  // bitmaps: inside data_
  const void* bits_ = nullptr;
  HICON icon_ = nullptr;
  HENHMETAFILE metafile_ = nullptr;
};

}  // namespace tovin::ui::win32
