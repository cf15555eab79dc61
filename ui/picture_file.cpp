#include "ui/picture_file.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

#include "platform/byte_order.h"

namespace tovin::ui {
namespace {

const char kBitmapInvalid[] = "Bitmap image is not valid";
const char kIconInvalid[] = "Icon image is not valid";

// Bytes of data from offset on, fewer at the end of the data.
std::string ReadAt(Stream& data, int64_t offset, size_t count) {
  std::string bytes(count, '\0');
  if (data.Seek(offset, 0) != offset) return {};
  size_t got = 0;
  while (got < count) {
    int64_t n = data.Read(bytes.data() + got, static_cast<int64_t>(count - got));
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

class Fields {
 public:
  explicit Fields(const std::string& bytes) : b_(bytes) {}
  size_t Size() const { return b_.size(); }
  uint8_t U8(size_t at) const { return static_cast<uint8_t>(b_[at]); }
  uint16_t U16(size_t at) const { return GetLE16(P(at)); }
  int16_t I16(size_t at) const { return static_cast<int16_t>(U16(at)); }
  uint32_t U32(size_t at) const { return static_cast<uint32_t>(GetLE32(P(at))); }
  int32_t I32(size_t at) const { return GetLE32(P(at)); }

 private:
  const uint8_t* P(size_t at) const { return reinterpret_cast<const uint8_t*>(b_.data()) + at; }
  const std::string& b_;
};

bool FitsSide(int64_t side) { return side > 0 && side <= kMaxPictureSide; }

[[noreturn]] void Invalid(const char* message) { throw EInvalidGraphic(message); }

// Pixels for a length in units of pixelsPerUnit pixels each, rounded; a length that is not 0
// takes at least a pixel.
int64_t ToPixels(int64_t length, double pixelsPerUnit) {
  double pixels = static_cast<double>(length) * pixelsPerUnit + 0.5;
  if (pixels > 2.0 * kMaxPictureSide) return 2LL * kMaxPictureSide;  // refused by FitsSide
  return length > 0 && pixels < 1 ? 1 : static_cast<int64_t>(pixels);
}

PictureInfo ReadBitmap(Stream& data) {
  const int64_t size = data.Size();
  std::string bytes = ReadAt(data, 0, 14 + 40);
  Fields f(bytes);
  if (f.Size() < 18 || bytes[0] != 'B' || bytes[1] != 'M') Invalid(kBitmapInvalid);
  const uint32_t offBits = f.U32(10);
  const uint32_t headerSize = f.U32(14);
  int64_t width, height;
  uint16_t planes, bitCount;
  uint32_t compression = 0;
  if (headerSize == 12) {  // BITMAPCOREHEADER: unsigned 16-bit sides
    if (f.Size() < 14 + 12) Invalid(kBitmapInvalid);
    width = f.U16(18);
    height = f.U16(20);
    planes = f.U16(22);
    bitCount = f.U16(24);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) Invalid(kBitmapInvalid);
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
    if (f.Size() < 14 + 40) Invalid(kBitmapInvalid);
    width = f.I32(18);
    height = f.I32(22);
    planes = f.U16(26);
    bitCount = f.U16(28);
    compression = f.U32(30);
    bool rgb = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
    switch (compression) {
      case 0:  // BI_RGB
        if (!rgb) Invalid(kBitmapInvalid);
        break;
      case 1:  // BI_RLE8; run-length data cannot be stored top-down
        if (bitCount != 8 || height < 0) Invalid(kBitmapInvalid);
        break;
      case 2:  // BI_RLE4
        if (bitCount != 4 || height < 0) Invalid(kBitmapInvalid);
        break;
      case 3:  // BI_BITFIELDS
        if (bitCount != 16 && bitCount != 32) Invalid(kBitmapInvalid);
        break;
      default:  // JPEG and PNG bitmaps exist only for printers
        Invalid(kBitmapInvalid);
    }
  } else {
    Invalid(kBitmapInvalid);
  }
  height = std::llabs(height);  // negative: top-down rows
  if (planes != 1 || !FitsSide(width) || !FitsSide(height)) Invalid(kBitmapInvalid);
  if (offBits < 14 + headerSize || offBits >= size) Invalid(kBitmapInvalid);
  if (compression == 0 || compression == 3) {
    int64_t stride = (width * bitCount + 31) / 32 * 4;
    if (offBits + stride * height > size) Invalid(kBitmapInvalid);
  }
  return {PictureInfo::pkBitmap, static_cast<int>(width), static_cast<int>(height)};
}

PictureInfo ReadIcon(Stream& data) {
  const int64_t size = data.Size();
  std::string bytes = ReadAt(data, 0, 6 + 16);
  Fields f(bytes);
  if (f.Size() < 6 + 16) Invalid(kIconInvalid);
  const uint16_t count = f.U16(4);
  if (f.U16(0) != 0 || f.U16(2) != 1 || count == 0) Invalid(kIconInvalid);  // type 2 is a cursor
  const int64_t directoryEnd = 6 + 16 * static_cast<int64_t>(count);
  const int width = f.U8(6) == 0 ? 256 : f.U8(6);
  const int height = f.U8(7) == 0 ? 256 : f.U8(7);
  const int64_t imageSize = f.U32(14), imageOffset = f.U32(18);
  if (directoryEnd > size || imageSize < 8 || imageOffset < directoryEnd || imageOffset + imageSize > size)
    Invalid(kIconInvalid);
  // The image is a PNG stream or a DIB (BITMAPINFOHEADER or one of its successors).
  std::string image = ReadAt(data, imageOffset, 8);
  if (image.size() < 8) Invalid(kIconInvalid);
  uint32_t dibHeader = Fields(image).U32(0);
  bool dib = dibHeader == 12 || dibHeader == 40 || dibHeader == 52 || dibHeader == 56 || dibHeader == 108 ||
             dibHeader == 124;
  if (!dib && image != std::string("\x89PNG\r\n\x1A\n", 8)) Invalid(kIconInvalid);
  return {PictureInfo::pkIcon, width, height};
}

// The standard header every Windows metafile has (after the placeable header, if any). Its
// size in words must lie within the file.
bool IsMetaHeader(const Fields& f, size_t at, int64_t available) {
  if (f.Size() < at + 18) return false;
  uint16_t type = f.U16(at), headerWords = f.U16(at + 2), version = f.U16(at + 4);
  int64_t words = f.U32(at + 6);
  return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300) &&
         words >= 9 && 2 * words <= available;
}

PictureInfo ReadPlaceableMetafile(Stream& data, const Fields& f) {
  uint16_t checksum = 0;
  for (size_t at = 0; at < 20; at += 2) checksum ^= f.U16(at);
  const int64_t width = std::llabs(static_cast<int64_t>(f.I16(10)) - f.I16(6));
  const int64_t height = std::llabs(static_cast<int64_t>(f.I16(12)) - f.I16(8));
  const uint16_t unitsPerInch = f.U16(14);
  if (checksum != f.U16(20) || unitsPerInch == 0 || !IsMetaHeader(f, 22, data.Size() - 22)) Invalid(kBitmapInvalid);
  const double pixelsPerUnit = 96.0 / unitsPerInch;
  int64_t w = ToPixels(width, pixelsPerUnit), h = ToPixels(height, pixelsPerUnit);
  if (!FitsSide(w) || !FitsSide(h)) Invalid(kBitmapInvalid);
  return {PictureInfo::pkMetafile, static_cast<int>(w), static_cast<int>(h)};
}

// A metafile without the placeable header states no size; its window extent, set near its
// start by the programs that write such files, is the best there is.
PictureInfo ReadStandardMetafile(Stream& data) {
  const int64_t size = data.Size();
  const int kRecordsLooked = 64;
  const int kDefaultSide = 96;
  int64_t at = 18;
  for (int n = 0; n < kRecordsLooked && at < size; ++n) {
    std::string bytes = ReadAt(data, at, 10);
    Fields f(bytes);
    if (f.Size() < 6) Invalid(kBitmapInvalid);
    int64_t words = f.U32(0);
    uint16_t function = f.U16(4);
    if (words < 3 || at + 2 * words > size) Invalid(kBitmapInvalid);
    if (function == 0x0000) break;  // META_EOF
    if (function == 0x020C && words >= 5 && f.Size() >= 10) {  // META_SETWINDOWEXT: y, then x
      int64_t w = std::abs(f.I16(8)), h = std::abs(f.I16(6));
      if (w > 0 && h > 0) {
        if (!FitsSide(w) || !FitsSide(h)) Invalid(kBitmapInvalid);
        return {PictureInfo::pkMetafile, static_cast<int>(w), static_cast<int>(h)};
      }
    }
    at += 2 * words;
  }
  return {PictureInfo::pkMetafile, kDefaultSide, kDefaultSide};
}

PictureInfo ReadEnhancedMetafile(const Fields& f, int64_t size) {
  // ENHMETAHEADER up to szlMillimeters; records and file sizes must hold together.
  const int64_t headerSize = f.U32(4), fileBytes = f.U32(48);
  if (f.Size() < 88 || headerSize < 88 || headerSize > fileBytes || fileBytes > size) Invalid(kBitmapInvalid);
  const int64_t frameWidth = static_cast<int64_t>(f.I32(32)) - f.I32(24);
  const int64_t frameHeight = static_cast<int64_t>(f.I32(36)) - f.I32(28);
  int64_t w, h;
  if (frameWidth > 0 && frameHeight > 0) {
    const int32_t deviceX = f.I32(72), deviceY = f.I32(76), millimetresX = f.I32(80), millimetresY = f.I32(84);
    bool device = deviceX > 0 && deviceY > 0 && millimetresX > 0 && millimetresY > 0;
    w = ToPixels(frameWidth, device ? deviceX / (100.0 * millimetresX) : 96.0 / 2540);
    h = ToPixels(frameHeight, device ? deviceY / (100.0 * millimetresY) : 96.0 / 2540);
  } else {  // bounds are in device pixels, right and bottom included
    w = static_cast<int64_t>(f.I32(16)) - f.I32(8) + 1;
    h = static_cast<int64_t>(f.I32(20)) - f.I32(12) + 1;
  }
  if (!FitsSide(w) || !FitsSide(h)) Invalid(kBitmapInvalid);
  return {PictureInfo::pkEnhMetafile, static_cast<int>(w), static_cast<int>(h)};
}

PictureInfo ReadMetafile(Stream& data) {
  const int64_t size = data.Size();
  std::string bytes = ReadAt(data, 0, 88);
  Fields f(bytes);
  if (f.Size() >= 44 && f.U32(0) == 1 && f.U32(40) == 0x464D4520) return ReadEnhancedMetafile(f, size);  // " EMF"
  if (f.Size() >= 22 && f.U32(0) == 0x9AC6CDD7) return ReadPlaceableMetafile(data, f);
  if (IsMetaHeader(f, 0, size)) return ReadStandardMetafile(data);
  Invalid(kBitmapInvalid);
}

std::optional<PictureKind> KindOfExtension(const std::string& extension) {
  std::string lower;
  for (char c : extension) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  if (lower == "bmp") return PictureInfo::pkBitmap;
  if (lower == "ico") return PictureInfo::pkIcon;
  if (lower == "wmf") return PictureInfo::pkMetafile;
  if (lower == "emf") return PictureInfo::pkEnhMetafile;
  return std::nullopt;
}

PictureKind RequireKind(const std::string& extension) {
  std::optional<PictureKind> kind = KindOfExtension(extension);
  if (!kind) throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", extension));
  return *kind;
}

PictureInfo Read(Stream& data, PictureKind kind) {
  switch (kind) {
    case PictureInfo::pkBitmap:
      return ReadBitmap(data);
    case PictureInfo::pkIcon:
      return ReadIcon(data);
    case PictureInfo::pkMetafile:
    case PictureInfo::pkEnhMetafile:
      return ReadMetafile(data);
  }
  Invalid(kBitmapInvalid);
}

}  // namespace

std::string PictureExtension(const std::string& path) {
  size_t at = path.find_last_of(".\\/:");
  if (at == std::string::npos || path[at] != '.') return {};
  return path.substr(at + 1);
}

PictureInfo ReadPictureInfo(const std::string& path) {
  PictureKind kind = RequireKind(PictureExtension(path));
  FileStream file(path, FileStream::Mode::OpenRead);
  return Read(file, kind);
}

PictureInfo ReadPictureInfo(Stream& data, const std::string& extension) {
  return Read(data, RequireKind(extension));
}

}  // namespace tovin::ui
