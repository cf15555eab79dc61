// Known streams: the byte vectors of the methods and hand-built lh5 blocks.
#include <gtest/gtest.h>

#include "codec/codec_errors.h"
#include "tests/codec/codec_helpers.h"

namespace tovin::test {
namespace {

std::string Hex(const std::string& s) {
  static const char* d = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    if (!out.empty()) out += ' ';
    out += d[c >> 4];
    out += d[c & 15];
  }
  return out;
}

TEST(Lh5Vectors, TheLetterAIsSevenBytes) {
  const std::string stream("\x00\x01\x00\x00\x06\x10\x00", 7);
  Coded e = Encode(coLZH5, "a");
  EXPECT_EQ(Hex(e.bytes), Hex(stream));
  EXPECT_EQ(e.checksum, 97u);
  Coded d = Decode(coLZH5, stream, 1);
  EXPECT_EQ(d.bytes, "a");
  EXPECT_EQ(d.checksum, 97u);
}

TEST(Lh5Vectors, EmptyInputWritesNothingAndZeroSizeReadsNothing) {
  EXPECT_EQ(Encode(coLZH5, "").bytes, "");
  Coded d = Decode(coLZH5, "garbage that is never read", 0);
  EXPECT_EQ(d.bytes, "");
  EXPECT_EQ(d.checksum, 0u);
}

// Block header with single-value T and C codes: every C symbol is `c` and uses no bits.
void SingleValueHeader(BitWriter& w, uint32_t blockSize, uint32_t c) {
  w.Put(16, blockSize);
  w.Put(5, 0);
  w.Put(5, 0);
  w.Put(9, 0);
  w.Put(9, c);
}

TEST(Lh5Vectors, LengthListCodesOfSevenAndEight) {
  // P code lengths 1..7,7 and 1..8,8: the escapes 1110 and 11110 must be read as 7 and 8.
  for (int longest : {7, 8}) {
    BitWriter w;
    SingleValueHeader(w, 1, 'z');
    w.Put(4, static_cast<uint32_t>(longest + 1));
    for (int len = 1; len <= longest; ++len) w.Length(len);
    w.Length(longest);
    Coded d = Decode(coLZH5, w.Bytes(), 1);
    EXPECT_EQ(d.bytes, "z") << longest;
  }
}

TEST(Lh5Vectors, TListOfCountThreeCarriesItsZeroRun) {
  BitWriter w;
  w.Put(16, 1);
  w.Put(5, 3);  // T count 3: lengths 1, 2, 2 and then the 2-bit zero run
  w.Length(1);
  w.Length(2);
  w.Length(2);
  w.Put(2, 0);
  w.Put(9, 0);  // C single value
  w.Put(9, 'q');
  w.Put(4, 0);
  w.Put(4, 0);
  EXPECT_EQ(Decode(coLZH5, w.Bytes(), 1).bytes, "q");
}

TEST(Lh5Vectors, CLengthsThroughTheTCode) {
  // T lengths 2,2,2,2 (symbols 0..3 as 00 01 10 11); C list: 97 zeros (T2 + 77), then
  // lengths 1 and 1 for 'a' and 'b'; symbols a b a.
  BitWriter w;
  w.Put(16, 3);
  w.Put(5, 4);
  for (int i = 0; i < 3; ++i) w.Length(2);
  w.Put(2, 0);
  w.Length(2);
  w.Put(9, 99);
  w.Put(2, 2);
  w.Put(9, 77);
  w.Put(2, 3);
  w.Put(2, 3);
  w.Put(4, 0);
  w.Put(4, 0);
  w.Put(1, 0);
  w.Put(1, 1);
  w.Put(1, 0);
  EXPECT_EQ(Decode(coLZH5, w.Bytes(), 3).bytes, "aba");
}

TEST(Lh5Vectors, MatchesReachIntoTheInitialSpacesAndRepeatTheLastByte) {
  {  // symbol 256 + 253 - 3 = length 256, P single class 0: distance value 0
    BitWriter w;
    w.Put(16, 2);
    w.Put(5, 4);  // T: 2,2,2,2
    for (int i = 0; i < 3; ++i) w.Length(2);
    w.Put(2, 0);
    w.Length(2);
    w.Put(9, 510);  // C: lengths of 'x' (120) and of symbol 509 are 1
    w.Put(2, 2);
    w.Put(9, 100);  // 120 zeros
    w.Put(2, 3);    // 'x' length 1
    w.Put(2, 2);
    w.Put(9, 368);  // 388 zeros: symbols 121..508
    w.Put(2, 3);    // symbol 509 length 1
    w.Put(4, 0);
    w.Put(4, 0);
    w.Put(1, 0);  // 'x'
    w.Put(1, 1);  // length 256, distance value 0
    EXPECT_EQ(Decode(coLZH5, w.Bytes(), 257).bytes, std::string(257, 'x'));
  }
  {  // a match from the very start copies spaces from the initial window
    BitWriter w;
    SingleValueHeader(w, 1, 256 + 10 - 3);  // length 10
    w.Put(4, 0);
    w.Put(4, 13);             // distance class 13: 4096 + 12 bits
    w.Put(12, 0xABC);
    EXPECT_EQ(Decode(coLZH5, w.Bytes(), 10).bytes, std::string(10, ' '));
  }
}

TEST(Lh5Vectors, BlockSizeZeroIsAFullBlockOf65536Symbols) {
  BitWriter w;
  SingleValueHeader(w, 0, 'k');
  w.Put(4, 0);
  w.Put(4, 0);
  SingleValueHeader(w, 1, 'm');  // the next block starts after 65536 symbols
  w.Put(4, 0);
  w.Put(4, 0);
  std::string expected = std::string(65536, 'k') + "m";
  EXPECT_EQ(Decode(coLZH5, w.Bytes(), 65537).bytes, expected);
}

TEST(Lh5Vectors, SymbolsOfNoBitsNeedNoMoreInput) {
  // A block whose C code is the single value 'n' spends no bits on its symbols.
  BitWriter w;
  SingleValueHeader(w, 5000, 'n');
  w.Put(4, 0);
  w.Put(4, 0);
  Coded d = Decode(coLZH5, w.Bytes(), 5000);
  EXPECT_EQ(d.bytes, std::string(5000, 'n'));
}

TEST(Lh5Vectors, TablesTheDataModelCannotHoldAreRejected) {
  auto bad = [](const std::string& stream) {
    try {
      Decode(coLZH5, stream, 10);
    } catch (const ELZHBadDecodeTable& e) {
      return std::string(e.what()) == "Bad decode table in archive!";
    }
    return false;
  };
  {
    BitWriter w;  // T count 20 > 19
    w.Put(16, 1);
    w.Put(5, 20);
    EXPECT_TRUE(bad(w.Bytes()));
  }
  {
    BitWriter w;  // C single value 510
    w.Put(16, 1);
    w.Put(5, 0);
    w.Put(5, 0);
    w.Put(9, 0);
    w.Put(9, 510);
    EXPECT_TRUE(bad(w.Bytes()));
  }
  {
    BitWriter w;  // P count 15 > 14
    SingleValueHeader(w, 1, 'a');
    w.Put(4, 15);
    EXPECT_TRUE(bad(w.Bytes()));
  }
  {
    BitWriter w;  // P lengths that do not fill the code space: 1, 2
    SingleValueHeader(w, 1, 'a');
    w.Put(4, 2);
    w.Length(1);
    w.Length(2);
    EXPECT_TRUE(bad(w.Bytes()));
  }
  {
    BitWriter w;  // P lengths all zero pass a 16-bit sum test but are no code
    SingleValueHeader(w, 1, 'a');
    w.Put(4, 3);
    for (int i = 0; i < 3; ++i) w.Length(0);
    EXPECT_TRUE(bad(w.Bytes()));
  }
  {
    BitWriter w;  // a T length of 20 (thirteen 1 bits after 111)
    w.Put(16, 1);
    w.Put(5, 1);
    w.Put(16, 0xFFFF);
    EXPECT_TRUE(bad(w.Bytes()));
  }
  {
    BitWriter w;  // a zero run that carries the C index past 510
    w.Put(16, 1);
    w.Put(5, 4);
    for (int i = 0; i < 3; ++i) w.Length(2);
    w.Put(2, 0);
    w.Length(2);
    w.Put(9, 500);
    w.Put(2, 2);
    w.Put(9, 500);  // 520 zeros
    EXPECT_TRUE(bad(w.Bytes()));
  }
}

struct RleCase {
  std::string input, stream;
};

TEST(RleVectors, EncodingAndDecoding) {
  const char M = static_cast<char>(148);
  const RleCase cases[] = {
      {std::string(3, M), std::string{M, 0, M, 0, M, 0}},
      {"xx", "xx"},
      {"xxx", std::string{'x', M, 3}},
      {std::string(256, 'x'), std::string{'x', M, static_cast<char>(255), 'x'}},
      {std::string(300, 'x'), std::string{'x', M, static_cast<char>(255), 'x', M, 45}},
      {std::string(2, '\0') + "a", std::string("\0\0a", 3)},
      {"abc", "abc"},
      {std::string("x") + M + M + "yy", std::string{'x', M, 0, M, 0, 'y', 'y'}},
      {"", ""},
  };
  for (const auto& c : cases) {
    Coded e = Encode(coRLE, c.input);
    EXPECT_EQ(Hex(e.bytes), Hex(c.stream)) << Hex(c.input);
    EXPECT_EQ(e.checksum, ByteSum(c.input));
    EXPECT_EQ(Decode(coRLE, c.stream, static_cast<int32_t>(c.input.size())).bytes, c.input) << Hex(c.stream);
  }
}

TEST(RleVectors, DecoderReadsMarkerPairsAsStated) {
  const char M = static_cast<char>(148);
  // A run repeats the byte before the marker; after a pair the previous byte is the marker.
  EXPECT_EQ(Decode(coRLE, std::string{'a', M, 2, M, 3}, 4).bytes, std::string("aa") + M + M);
  EXPECT_EQ(Decode(coRLE, std::string{M, 4}, 3).bytes, std::string(3, '\0'));
  EXPECT_EQ(Decode(coRLE, std::string{'a', M}, 2).bytes, std::string("a") + M);  // lone marker at the end
  EXPECT_EQ(Decode(coRLE, std::string{'a', M, 1}, 1).bytes, "a");
}

TEST(LzhVectors, EmptyInputAndZeroSize) {
  EXPECT_EQ(Encode(coLZH, "").bytes, "");
  EXPECT_EQ(Decode(coLZH, "xyz", 0).bytes, "");
}

TEST(LzhVectors, RunsBecomeMatchesOfDistanceOne) {
  Coded e = Encode(coLZH, std::string(10000, 'q'));
  EXPECT_LT(e.bytes.size(), 600u);
  EXPECT_EQ(Decode(coLZH, e.bytes, 10000).bytes, std::string(10000, 'q'));
}

}  // namespace
}  // namespace tovin::test
