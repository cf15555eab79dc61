// The lh5 encoder's output is fixed byte for byte: every generated input here must still give
// the stream (its size and CRC-32) that the encoder gave before its match finder was reworked.
// The inputs come from a recipe in this file alone, so changes elsewhere cannot move them.
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>

#include "tests/codec/codec_helpers.h"

namespace tovin::test {
namespace {

enum class Kind { Random, Fill, Period, Text, Mixed, Runs, FewSymbols, Sparse };

struct Recipe {
  const char* name;
  Kind kind;
  uint32_t size;
  uint32_t param;  // the byte of Fill, the period of Period, else a seed
  uint32_t streamSize;
  uint32_t streamCrc;
};

class Generator {
 public:
  explicit Generator(uint32_t seed) : x_(seed * 2654435761u + 1) {}
  uint32_t Next() {
    x_ ^= x_ << 13;
    x_ ^= x_ >> 17;
    x_ ^= x_ << 5;
    return x_;
  }
  uint8_t Byte() { return static_cast<uint8_t>(Next() >> 24); }

 private:
  uint32_t x_;
};

std::string Make(const Recipe& r) {
  static const char* const words[] = {"setup ", "install ", "the ", "archive ", "segment ", "of ", "and ",
                                      "Windows ", "directory\r\n", "file ", "a ", "copy ", "disk ", "Tovin. "};
  std::string s;
  s.reserve(r.size + 300);
  Generator g(r.param);
  switch (r.kind) {
    case Kind::Random:
      while (s.size() < r.size) s += static_cast<char>(g.Byte());
      break;
    case Kind::Fill:
      s.assign(r.size, static_cast<char>(r.param));
      break;
    case Kind::Period: {
      Generator p(r.param + 1000);
      std::string unit;
      for (uint32_t i = 0; i < r.param; ++i) unit += static_cast<char>(p.Byte());
      while (s.size() < r.size) s += unit;
      break;
    }
    case Kind::Text:
      while (s.size() < r.size) s += words[g.Next() % 14];
      break;
    case Kind::Mixed:
      while (s.size() < r.size) {
        uint32_t v = g.Next();
        if (v % 23 == 0) {
          for (uint32_t i = v >> 24; i > 0; --i) s += static_cast<char>(g.Byte());
        } else if (v % 29 == 0) {
          s.append(200 + (v >> 20) % 120, static_cast<char>(v >> 8));
        } else {
          s += words[(v >> 8) % 14];
        }
      }
      break;
    case Kind::Runs: {
      static const uint32_t lengths[] = {1, 2, 3, 4, 255, 256, 257, 258, 512, 259};
      while (s.size() < r.size) s.append(lengths[g.Next() % 10], static_cast<char>(g.Byte()));
      break;
    }
    case Kind::FewSymbols:
      while (s.size() < r.size) s += static_cast<char>('a' + g.Next() % 4);
      break;
    case Kind::Sparse:
      while (s.size() < r.size) s += static_cast<char>(g.Next() % 5 == 0 ? g.Byte() : 0);
      break;
  }
  s.resize(r.size);
  return s;
}

uint32_t Crc32(const std::string& s) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : s) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

// Sizes around the window (8192), the slide of the text buffer (at 16384) and the block
// buffer; periods around the window and the longest match.
const Recipe kRecipes[] = {
    {"one_a", Kind::Fill, 1, 97, 7, 0x187F6238},
    {"two_bytes", Kind::Random, 2, 1, 10, 0x5130F172},
    {"three_bytes", Kind::Random, 3, 2, 12, 0xC6DC3A30},
    {"zeros_255", Kind::Fill, 255, 0, 9, 0x9D966A8A},
    {"zeros_256", Kind::Fill, 256, 0, 9, 0xCE0BE97B},
    {"zeros_257", Kind::Fill, 257, 0, 9, 0x28989FA0},
    {"zeros_8191", Kind::Fill, 8191, 0, 14, 0x1ED4F6FC},
    {"zeros_8192", Kind::Fill, 8192, 0, 14, 0xEB3B9742},
    {"zeros_8193", Kind::Fill, 8193, 0, 13, 0x4492FB2D},
    {"zeros_100k", Kind::Fill, 100000, 0, 60, 0x41E1D7D1},
    {"ff_70k", Kind::Fill, 70000, 255, 46, 0xD91057BE},
    {"random_100", Kind::Random, 100, 3, 142, 0xED412C0A},
    {"random_8193", Kind::Random, 8193, 4, 8240, 0x73EE5F7F},
    {"random_16385", Kind::Random, 16385, 5, 16473, 0x08086CDA},
    {"random_70k", Kind::Random, 70000, 6, 70237, 0xC8E968DE},
    {"period3", Kind::Period, 200000, 3, 212, 0x05050FE3},
    {"period17", Kind::Period, 200000, 17, 529, 0xD4186EC0},
    {"period255", Kind::Period, 60000, 255, 575, 0x44B51753},
    {"period256", Kind::Period, 60000, 256, 576, 0x02F31AC8},
    {"period257", Kind::Period, 60000, 257, 607, 0x37E15FED},
    {"period8191", Kind::Period, 40000, 8191, 8563, 0xD886B216},
    {"period8192", Kind::Period, 40000, 8192, 40127, 0x6B337D0E},
    {"period8193", Kind::Period, 40000, 8193, 40116, 0x41228A67},
    {"period2_1MiB", Kind::Period, 1048576, 2, 526, 0xA1693D53},
    {"text_8191", Kind::Text, 8191, 7, 1445, 0x1B39AF35},
    {"text_16384", Kind::Text, 16384, 8, 2633, 0x0232A27C},
    {"text_16385", Kind::Text, 16385, 9, 2649, 0x0A61884C},
    {"text_300k", Kind::Text, 300000, 10, 43649, 0x07293212},
    {"mixed_24577", Kind::Mixed, 24577, 11, 11002, 0x1C37C2BB},
    {"mixed_400k", Kind::Mixed, 400000, 12, 149299, 0xAD7F8F76},
    {"runs_200k", Kind::Runs, 200000, 13, 2454, 0x362C3CD1},
    {"few_symbols_150k", Kind::FewSymbols, 150000, 14, 43994, 0x7291D9A2},
    {"sparse_150k", Kind::Sparse, 150000, 15, 53448, 0xA324D1E1},
};

void PrintTo(const Recipe& r, std::ostream* os) { *os << r.name; }

class EncoderOutput : public ::testing::TestWithParam<Recipe> {};

TEST_P(EncoderOutput, IsTheStreamItAlwaysWas) {
  const Recipe& r = GetParam();
  std::string input = Make(r);
  ASSERT_EQ(input.size(), r.size);
  Coded e = Encode(coLZH5, input);
  EXPECT_EQ(e.bytes.size(), r.streamSize);
  EXPECT_EQ(Crc32(e.bytes), r.streamCrc);
}

INSTANTIATE_TEST_SUITE_P(Inputs, EncoderOutput, ::testing::ValuesIn(kRecipes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovin::test
