// Picture files: the kind and size read from crafted headers, damaged and truncated files,
// sizes that cannot be shown, extensions and the messages of each failure.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/picture_file.h"
#include "platform/byte_order.h"
#include "tests/support/test_machine.h"

namespace tovin::test {
using namespace tovin::ui;
namespace {

std::string Zeros(size_t n) { return std::string(n, '\0'); }

struct BmpLayout {
  uint32_t header = 40;
  int32_t width = 4, height = 2;
  uint16_t planes = 1, bits = 24;
  uint32_t compression = 0;
  int64_t pixelBytes = -1;  // -1: exactly the rows the size asks for
  int64_t offBitsShift = 0;
  std::string magic = "BM";
};

std::string Bmp(const BmpLayout& s) {
  std::string info;
  AppendLE32(info, static_cast<int32_t>(s.header));
  if (s.header == 12) {
    AppendLE16(info, static_cast<uint16_t>(s.width));
    AppendLE16(info, static_cast<uint16_t>(s.height));
    AppendLE16(info, s.planes);
    AppendLE16(info, s.bits);
  } else {
    AppendLE32(info, s.width);
    AppendLE32(info, s.height);
    AppendLE16(info, s.planes);
    AppendLE16(info, s.bits);
    AppendLE32(info, static_cast<int32_t>(s.compression));
    if (s.header > info.size()) info += Zeros(s.header - info.size());
  }
  std::string table;
  if (s.bits <= 8) table = Zeros((size_t{1} << s.bits) * (s.header == 12 ? 3 : 4));
  if (s.compression == 3 && s.header == 40) table = Zeros(12);  // the three masks
  int64_t rows = s.height < 0 ? -static_cast<int64_t>(s.height) : s.height;
  int64_t stride = (static_cast<int64_t>(s.width) * s.bits + 31) / 32 * 4;
  int64_t pixels = s.pixelBytes >= 0 ? s.pixelBytes : stride * rows;
  std::string file = s.magic;
  int64_t offBits = 14 + static_cast<int64_t>(info.size() + table.size());
  AppendLE32(file, static_cast<int32_t>(offBits + pixels));
  AppendLE32(file, 0);
  AppendLE32(file, static_cast<int32_t>(offBits + s.offBitsShift));
  return file + info + table + Zeros(static_cast<size_t>(pixels));
}

struct IcoEntry {
  uint8_t width, height;
  std::string image;
};

const std::string kPng("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
std::string Dib(int width, int height) {
  std::string h;
  AppendLE32(h, 40);
  AppendLE32(h, width);
  AppendLE32(h, 2 * height);  // colour and mask
  AppendLE16(h, 1);
  AppendLE16(h, 32);
  return h + Zeros(24 + 4 * static_cast<size_t>(width * height));
}

// An icon directory; declaredCount may claim more entries than are written.
std::string Ico(const std::vector<IcoEntry>& entries, int declaredCount = -1, uint16_t type = 1,
                uint16_t reserved = 0) {
  std::string dir;
  AppendLE16(dir, reserved);
  AppendLE16(dir, type);
  AppendLE16(dir, static_cast<uint16_t>(declaredCount < 0 ? entries.size() : declaredCount));
  std::string images;
  size_t offset = 6 + 16 * entries.size();
  for (const IcoEntry& e : entries) {
    dir += static_cast<char>(e.width);
    dir += static_cast<char>(e.height);
    dir += Zeros(2);
    AppendLE16(dir, 1);
    AppendLE16(dir, 32);
    AppendLE32(dir, static_cast<int32_t>(e.image.size()));
    AppendLE32(dir, static_cast<int32_t>(offset + images.size()));
    images += e.image;
  }
  return dir + images;
}

// An icon with one entry whose size and offset fields are given as they stand.
std::string IcoRaw(uint32_t bytes, uint32_t offset, const std::string& tail) {
  std::string f;
  AppendLE16(f, 0);
  AppendLE16(f, 1);
  AppendLE16(f, 1);
  f += std::string("\x20\x20\0\0", 4);
  AppendLE16(f, 1);
  AppendLE16(f, 32);
  AppendLE32(f, static_cast<int32_t>(bytes));
  AppendLE32(f, static_cast<int32_t>(offset));
  return f + tail;
}

std::string Record(uint16_t function, const std::vector<int16_t>& params) {
  std::string r;
  AppendLE32(r, static_cast<int32_t>(3 + params.size()));
  AppendLE16(r, function);
  for (int16_t p : params) AppendLE16(r, static_cast<uint16_t>(p));
  return r;
}
const std::string kEof = Record(0x0000, {});
std::string SetWindowExt(int16_t x, int16_t y) { return Record(0x020C, {y, x}); }

// META_HEADER and the records after it; sizeShift spoils the size in words.
std::string Wmf(const std::string& records, uint16_t type = 1, uint16_t headerWords = 9, uint16_t version = 0x0300,
                int sizeShift = 0) {
  std::string h;
  AppendLE16(h, type);
  AppendLE16(h, headerWords);
  AppendLE16(h, version);
  AppendLE32(h, static_cast<int32_t>((18 + records.size()) / 2 + sizeShift));
  AppendLE16(h, 0);
  AppendLE32(h, 5);
  AppendLE16(h, 0);
  return h + records;
}

std::string Placeable(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t inch,
                      const std::string& metafile, uint16_t checksumFlip = 0) {
  std::string h;
  AppendLE32(h, static_cast<int32_t>(0x9AC6CDD7u));
  AppendLE16(h, 0);
  for (int16_t v : {left, top, right, bottom}) AppendLE16(h, static_cast<uint16_t>(v));
  AppendLE16(h, inch);
  AppendLE32(h, 0);
  uint16_t sum = 0;
  for (size_t at = 0; at < h.size(); at += 2) sum ^= GetLE16(reinterpret_cast<const uint8_t*>(h.data()) + at);
  AppendLE16(h, sum ^ checksumFlip);
  return h + metafile;
}

struct Rect {
  int32_t left, top, right, bottom;
};

struct EmfLayout {
  Rect bounds{0, 0, -1, -1};
  Rect frame{0, 0, 2540, 1270};
  int32_t deviceX = 1024, deviceY = 768, millimetresX = 320, millimetresY = 240;
  uint32_t headerSize = 88;
  int64_t bytesShift = 0;  // nBytes against the real size
  uint32_t signature = 0x464D4520;
};

std::string Emf(const EmfLayout& s) {
  std::string h;
  AppendLE32(h, 1);
  AppendLE32(h, static_cast<int32_t>(s.headerSize));
  for (const Rect& r : {s.bounds, s.frame})
    for (int32_t v : {r.left, r.top, r.right, r.bottom}) AppendLE32(h, v);
  AppendLE32(h, static_cast<int32_t>(s.signature));
  AppendLE32(h, 0x10000);
  const int32_t total = 88 + 20;
  AppendLE32(h, static_cast<int32_t>(total + s.bytesShift));
  AppendLE32(h, 2);
  AppendLE16(h, 1);
  AppendLE16(h, 0);
  AppendLE32(h, 0);
  AppendLE32(h, 0);
  AppendLE32(h, 0);
  for (int32_t v : {s.deviceX, s.deviceY, s.millimetresX, s.millimetresY}) AppendLE32(h, v);
  std::string eof;
  for (int32_t v : {14, 20, 0, 16, 20}) AppendLE32(eof, v);
  return h + eof;
}

struct Good {
  const char* name;
  const char* file;
  std::string bytes;
  PictureKind kind;
  int width, height;
};

struct Bad {
  const char* name;
  std::string bytes;
};

class PictureFile : public MachineTest {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = Path(name);
    WriteFile(path, bytes);
    return path;
  }
  // The message of the EInvalidGraphic the file raises; "" when it loads.
  std::string Failure(const std::string& name, const std::string& bytes) {
    try {
      ReadPictureInfo(Write(name, bytes));
    } catch (const EInvalidGraphic& e) {
      return e.what();
    }
    return "";
  }
  void ExpectLoads(const std::vector<Good>& cases) {
    for (const Good& c : cases) {
      PictureInfo info{};
      try {
        info = ReadPictureInfo(Write(c.file, c.bytes));
      } catch (const Exception& e) {
        ADD_FAILURE() << c.name << ": " << e.what();
        continue;
      }
      EXPECT_EQ(info.Kind, c.kind) << c.name;
      EXPECT_EQ(info.Width, c.width) << c.name;
      EXPECT_EQ(info.Height, c.height) << c.name;
    }
  }
};

TEST_F(PictureFile, Bitmaps) {
  std::vector<Good> cases = {
      {"24-bit", "a.bmp", Bmp({}), PictureInfo::pkBitmap, 4, 2},
      {"top-down", "a.bmp", Bmp({.width = 5, .height = -3}), PictureInfo::pkBitmap, 5, 3},
      {"core header", "a.bmp", Bmp({.header = 12, .width = 7, .height = 5, .bits = 8}), PictureInfo::pkBitmap, 7, 5},
      {"1-bit, padded rows", "a.bmp", Bmp({.width = 33, .height = 1, .bits = 1}), PictureInfo::pkBitmap, 33, 1},
      {"run-length", "a.bmp", Bmp({.width = 10, .height = 10, .bits = 8, .compression = 1, .pixelBytes = 2}),
       PictureInfo::pkBitmap, 10, 10},
      {"bit fields", "a.bmp", Bmp({.width = 3, .height = 3, .bits = 32, .compression = 3}), PictureInfo::pkBitmap, 3,
       3},
      {"version 5 header", "a.bmp", Bmp({.header = 124, .width = 9, .height = -9}), PictureInfo::pkBitmap, 9, 9},
      {"widest", "a.bmp", Bmp({.width = kMaxPictureSide, .height = 1, .bits = 1}), PictureInfo::pkBitmap,
       kMaxPictureSide, 1},
      {"upper-case extension", "A.BMP", Bmp({}), PictureInfo::pkBitmap, 4, 2},
      {"mixed-case extension", "a.Bmp", Bmp({}), PictureInfo::pkBitmap, 4, 2},
  };
  ExpectLoads(cases);
}

TEST_F(PictureFile, DamagedBitmaps) {
  std::string good = Bmp({});
  std::vector<Bad> cases = {
      {"empty", ""},
      {"magic only", "BM"},
      {"file header only", good.substr(0, 14)},
      {"info header cut", good.substr(0, 14 + 30)},
      {"no pixels", good.substr(0, 14 + 40)},
      {"last row cut", good.substr(0, good.size() - 1)},
      {"wrong magic", Bmp({.magic = "MB"})},
      {"header size 0", Bmp({.header = 0})},
      {"OS/2 2.x header", Bmp({.header = 64})},
      {"width 0", Bmp({.width = 0})},
      {"negative width", Bmp({.width = -4, .pixelBytes = 100})},
      {"height 0", Bmp({.height = 0})},
      {"core width 0", Bmp({.header = 12, .width = 0, .height = 5, .bits = 8})},
      {"core 16-bit", Bmp({.header = 12, .bits = 16})},
      {"planes 0", Bmp({.planes = 0})},
      {"2 bits", Bmp({.bits = 2})},
      {"no bit count", Bmp({.bits = 0})},
      {"JPEG", Bmp({.compression = 4, .pixelBytes = 10})},
      {"PNG", Bmp({.compression = 5, .pixelBytes = 10})},
      {"run-length at 24 bits", Bmp({.compression = 1, .pixelBytes = 2})},
      {"run-length top-down", Bmp({.height = -2, .bits = 8, .compression = 1, .pixelBytes = 2})},
      {"4-bit run-length at 8 bits", Bmp({.bits = 8, .compression = 2, .pixelBytes = 2})},
      {"bit fields at 24 bits", Bmp({.compression = 3})},
      {"pixels inside the header", Bmp({.offBitsShift = -20})},
      {"pixels past the end", Bmp({.offBitsShift = 1000})},
      {"too wide", Bmp({.width = kMaxPictureSide + 1, .height = 1, .bits = 1})},
      {"huge, few bytes", Bmp({.width = 30000, .height = 30000, .pixelBytes = 100})},
      {"height -2^31", Bmp({.height = INT32_MIN, .pixelBytes = 100})},
  };
  for (const Bad& c : cases) EXPECT_EQ(Failure("bad.bmp", c.bytes), "Bitmap image is not valid") << c.name;
}

TEST_F(PictureFile, Icons) {
  std::vector<Good> cases = {
      {"32 x 32", "i.ico", Ico({{32, 32, Dib(32, 32)}}), PictureInfo::pkIcon, 32, 32},
      {"0 means 256", "i.ico", Ico({{0, 0, kPng}}), PictureInfo::pkIcon, 256, 256},
      {"not square", "i.ico", Ico({{16, 0, kPng}}), PictureInfo::pkIcon, 16, 256},
      {"the first image counts", "i.ico", Ico({{48, 48, Dib(48, 48)}, {16, 16, Dib(16, 16)}}), PictureInfo::pkIcon,
       48, 48},
      {"upper-case extension", "I.ICO", Ico({{32, 32, Dib(32, 32)}}), PictureInfo::pkIcon, 32, 32},
  };
  ExpectLoads(cases);
}

TEST_F(PictureFile, DamagedIcons) {
  std::string good = Ico({{32, 32, Dib(32, 32)}});
  std::vector<Bad> cases = {
      {"empty", ""},
      {"directory header only", good.substr(0, 6)},
      {"entry cut", good.substr(0, 6 + 15)},
      {"image cut", good.substr(0, good.size() - 1)},
      {"reserved word set", Ico({{32, 32, Dib(32, 32)}}, -1, 1, 1)},
      {"a cursor", Ico({{32, 32, Dib(32, 32)}}, -1, 2)},
      {"no images", Ico({}, 0) + Zeros(64)},
      {"more entries declared than present", Ico({{32, 32, Dib(32, 32)}}, 200)},
      {"image not a picture", Ico({{32, 32, std::string(64, 'x')}})},
      {"image inside the directory", IcoRaw(16, 6, Zeros(64))},
      {"image past the end", IcoRaw(16, 0x7FFFFFF0, Zeros(64))},
      {"image of no bytes", IcoRaw(0, 22, Dib(1, 1))},
      {"image size past the end", IcoRaw(0xFFFFFFF0, 22, Dib(1, 1))},
      {"a bitmap named .ico", Bmp({})},
  };
  for (const Bad& c : cases) EXPECT_EQ(Failure("bad.ico", c.bytes), "Icon image is not valid") << c.name;
}

TEST_F(PictureFile, Metafiles) {
  std::string body = Wmf(kEof);
  std::vector<Good> cases = {
      {"an inch by half an inch", "m.wmf", Placeable(0, 0, 1440, 720, 1440, body), PictureInfo::pkMetafile, 96, 48},
      {"a thousand units an inch", "m.wmf", Placeable(-1000, 500, 1000, 1500, 1000, body), PictureInfo::pkMetafile,
       192, 96},
      {"flipped box", "m.wmf", Placeable(1440, 720, 0, 0, 1440, body), PictureInfo::pkMetafile, 96, 48},
      {"smaller than a pixel", "m.wmf", Placeable(0, 0, 1, 1, 1440, body), PictureInfo::pkMetafile, 1, 1},
      {"version 1 metafile", "m.wmf", Placeable(0, 0, 1440, 1440, 1440, Wmf(kEof, 2, 9, 0x0100)),
       PictureInfo::pkMetafile, 96, 96},
      {"no placeable header: its window extent", "m.wmf", Wmf(SetWindowExt(400, 300) + kEof),
       PictureInfo::pkMetafile, 400, 300},
      {"window extent after other records", "m.wmf",
       Wmf(Record(0x0103, {8}) + Record(0x020B, {0, 0}) + SetWindowExt(150, -200) + kEof), PictureInfo::pkMetafile,
       150, 200},
      {"no placeable header, no extent", "m.wmf", Wmf(Record(0x0103, {8}) + kEof), PictureInfo::pkMetafile, 96, 96},
      {"extent after the end record is not read", "m.wmf", Wmf(kEof + SetWindowExt(400, 300)),
       PictureInfo::pkMetafile, 96, 96},
      {"upper-case extension", "M.WMF", Placeable(0, 0, 1440, 720, 1440, body), PictureInfo::pkMetafile, 96, 48},
      {"a placeable metafile named .emf", "m.emf", Placeable(0, 0, 1440, 720, 1440, body), PictureInfo::pkMetafile, 96,
       48},
  };
  ExpectLoads(cases);
}

TEST_F(PictureFile, DamagedMetafiles) {
  std::string body = Wmf(kEof);
  std::string good = Placeable(0, 0, 1440, 720, 1440, body);
  std::vector<Bad> cases = {
      {"empty", ""},
      {"placeable header only", good.substr(0, 22)},
      {"placeable header cut", good.substr(0, 12)},
      {"last record cut", good.substr(0, good.size() - 2)},
      {"checksum", Placeable(0, 0, 1440, 720, 1440, body, 1)},
      {"no units per inch", Placeable(0, 0, 1440, 720, 0, body)},
      {"no width", Placeable(100, 0, 100, 720, 1440, body)},
      {"no height", Placeable(0, 0, 1440, 0, 1440, body)},
      {"too wide", Placeable(0, 0, 32767, 100, 1, body)},
      {"placeable header over nothing", Placeable(0, 0, 1440, 720, 1440, std::string(40, 'x'))},
      {"size in words past the end", Wmf(kEof, 1, 9, 0x0300, 100)},
      {"header of 8 words", Wmf(kEof, 1, 8)},
      {"version 2", Wmf(kEof, 1, 9, 0x0200)},
      {"type 3", Wmf(kEof, 3)},
      {"record of 2 words", Wmf(Record(0x0103, {8}).replace(0, 4, std::string("\x02\0\0\0", 4)) + kEof)},
      {"record past the end", Wmf(Record(0x0103, {8}).replace(0, 4, std::string("\x40\0\0\0", 4)) + kEof, 1, 9,
                                      0x0300, 0)},
      {"window extent too wide", Wmf(SetWindowExt(-32768, 100) + kEof)},
      {"window extent too high", Wmf(SetWindowExt(100, 32767) + kEof)},
      {"neither kind", std::string(200, 'x')},
  };
  for (const Bad& c : cases) {
    EXPECT_EQ(Failure("bad.wmf", c.bytes), "Bitmap image is not valid") << c.name;
    EXPECT_EQ(Failure("bad.emf", c.bytes), "Bitmap image is not valid") << c.name << " (.emf)";
  }
}

TEST_F(PictureFile, EnhancedMetafiles) {
  std::vector<Good> cases = {
      // 1024 pixels over 320 mm: 25.4 mm are 81.28 pixels; 768 over 240 mm: 12.7 mm are 40.64.
      {"frame at the reference device", "e.emf", Emf({}), PictureInfo::pkEnhMetafile, 81, 41},
      {"frame at 96 dpi without a device", "e.emf",
       Emf({.frame = {100, 100, 2640, 2640}, .deviceX = 0, .millimetresX = 0}), PictureInfo::pkEnhMetafile, 96, 96},
      {"empty frame: the bounds", "e.emf", Emf({.bounds = {10, 20, 109, 69}, .frame = {0, 0, 0, 0}}),
       PictureInfo::pkEnhMetafile, 100, 50},
      {"tiny frame", "e.emf", Emf({.frame = {0, 0, 1, 1}}), PictureInfo::pkEnhMetafile, 1, 1},
      {"larger header", "e.emf", Emf({.headerSize = 100}), PictureInfo::pkEnhMetafile, 81, 41},
      {"upper-case extension", "E.EMF", Emf({}), PictureInfo::pkEnhMetafile, 81, 41},
      {"an enhanced metafile named .wmf", "e.wmf", Emf({}), PictureInfo::pkEnhMetafile, 81, 41},
  };
  ExpectLoads(cases);
}

TEST_F(PictureFile, DamagedEnhancedMetafiles) {
  std::string good = Emf({});
  std::vector<Bad> cases = {
      {"header cut", good.substr(0, 60)},
      {"file shorter than it says", good.substr(0, good.size() - 4)},
      {"says it is longer", Emf({.bytesShift = 1})},
      {"header smaller than the structure", Emf({.headerSize = 80})},
      {"header larger than the file", Emf({.headerSize = 200})},
      {"signature", Emf({.signature = 0x20464D45})},
      {"nothing to size it by", Emf({.bounds = {0, 0, -1, -1}, .frame = {0, 0, 0, 0}})},
      {"frame too large", Emf({.frame = {0, 0, INT32_MAX, 1000}})},
      {"bounds too large", Emf({.bounds = {INT32_MIN, 0, INT32_MAX, 10}, .frame = {0, 0, 0, 0}})},
  };
  for (const Bad& c : cases) EXPECT_EQ(Failure("bad.emf", c.bytes), "Bitmap image is not valid") << c.name;
}

TEST_F(PictureFile, ExtensionsAndMissingFiles) {
  struct {
    const char* file;
    const char* message;
  } unknown[] = {
      {"missing.gif", "Unknown picture file extension (.gif)"},
      {"pic.GIF", "Unknown picture file extension (.GIF)"},
      {"pic.bmp.txt", "Unknown picture file extension (.txt)"},
      {"pic", "Unknown picture file extension (.)"},
      {"pic.", "Unknown picture file extension (.)"},
      {"pic.bmpx", "Unknown picture file extension (.bmpx)"},
  };
  // None of these files exists: the extension is judged before the file is opened.
  for (const auto& c : unknown) {
    try {
      ReadPictureInfo(Path(c.file));
      ADD_FAILURE() << c.file << ": no failure";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), c.message) << c.file;
    }
  }
  // The extension decides, whatever the file holds.
  EXPECT_EQ(Failure("bitmap.GIF", Bmp({})), "Unknown picture file extension (.GIF)");
  try {
    ReadPictureInfo(Path("missing.bmp"));
    ADD_FAILURE() << "no failure";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.what(), "Cannot open file " + Path("missing.bmp"));
  }
}

TEST(PictureExtensionTest, TheLastDotOfTheName) {
  struct {
    const char* path;
    const char* extension;
  } cases[] = {
      {"a.bmp", "bmp"},     {"C:\\dir\\A.BMP", "BMP"}, {"a.b.c", "c"},   {"a.", ""},
      {"a", ""},            {"C:\\dir.x\\a", ""},      {"dir.x/a", ""},  {"C:a.ico", "ico"},
      {"C:\\dir\\.wmf", "wmf"},
  };
  for (const auto& c : cases) EXPECT_EQ(PictureExtension(c.path), c.extension) << c.path;
}

TEST(PictureStreamTest, ReadsFromAnyStream) {
  MemoryStream icon(Ico({{24, 24, Dib(24, 24)}}));
  PictureInfo info = ReadPictureInfo(icon, "ICO");
  EXPECT_EQ(info.Kind, PictureInfo::pkIcon);
  EXPECT_EQ(info.Width, 24);
  MemoryStream bitmap(Bmp({}));
  EXPECT_THROW(ReadPictureInfo(bitmap, "png"), EInvalidGraphic);
}

}  // namespace
}  // namespace tovin::test
