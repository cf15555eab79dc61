// What the background window needs of the package's picture before it shows it: the kind of
// picture and its size in pixels, read from the file's own header. Nothing is drawn here.
//
// The extension chooses the reader: .bmp, .ico, .wmf and .emf, in any letter case. .wmf and
// .emf share one metafile reader that tells the two formats apart by their content, so an
// enhanced metafile saved as .wmf (or the reverse) still loads, with Kind saying what it is.
//
// Sizes:
// - bitmaps: the info header's width and height (a negative height is a top-down bitmap);
// - icons: the first image of the directory (a 0 in the directory means 256);
// - placeable metafiles: the bounding box in units of Inch per inch, at 96 pixels per inch;
// - metafiles without the placeable header: the first window extent among their first
//   records; without one they have no size of their own and get 96 x 96 (one inch);
// - enhanced metafiles: the frame (0.01 mm) at the reference device's pixels per millimetre
//   (at 96 dpi when the header gives no device size), or the bounds when the frame is empty.
// A picture side above kMaxPictureSide pixels is refused as not valid: the frame around the
// picture must still fit in a window's 16-bit coordinates.
#pragma once
#include <string>

#include "platform/exception.h"
#include "platform/stream.h"

namespace tovin::ui {

// "Unknown picture file extension (.%s)", "Bitmap image is not valid" (also for damaged
// metafiles), "Icon image is not valid".
TOVIN_EXCEPTION(EInvalidGraphic);

constexpr int kMaxPictureSide = 32767 - 10;

struct PictureInfo {
  enum Kind { pkBitmap, pkIcon, pkMetafile, pkEnhMetafile } Kind;
  int Width, Height;
};
// The member Kind hides its type's name inside PictureInfo; this names the type.
using PictureKind = enum PictureInfo::Kind;

// The file name's extension without its dot, as written ("" when the name has none).
std::string PictureExtension(const std::string& path);

// Reads the picture file at path through the platform layer. Raises EInvalidGraphic for an
// unknown extension (before opening the file) or a damaged file, and EFOpenError
// "Cannot open file %s" when the file cannot be opened.
PictureInfo ReadPictureInfo(const std::string& path);
// The same for a picture held in data, as a file with that extension (without its dot).
PictureInfo ReadPictureInfo(Stream& data, const std::string& extension);

}  // namespace tovin::ui
