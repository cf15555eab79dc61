// Blocks whose literal codes are so short that two fit in one first-level lookup: block ends
// right after a literal, and the hand-over of the window to the sink, must still cut the
// stream exactly where each symbol ends.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/codec/lh5_stream_writer.h"

namespace tovin::test {
namespace {

constexpr int kLiterals = 30;

// Every C code is 5 bits: 30 literals from `first` on, and the matches of lengths 3 and 4. The
// literals take the codes 00000..11101, so the zeros that start the next block's header read
// as this block's first literal.
Code FiveBitCode(char first) {
  std::vector<int> len(510, 0);
  for (int i = 0; i < kLiterals; ++i) len[static_cast<size_t>(first + i)] = 5;
  len[256] = len[257] = 5;
  return MakeCode(len);
}

struct Stream {
  std::string bytes;
  std::string expected;
};

// Blocks of the given sizes whose codes alternate between two alphabets, so a literal taken
// with the wrong block's code shows in the output. Every block ends with a literal and the
// next one starts with one; in between, one symbol in `matchEvery` (none when 0) is a match
// of length 3 or 4 at distance 1.
Stream Blocks(const std::vector<int>& sizes, uint32_t seed, int matchEvery) {
  const Code codes[2] = {FiveBitCode('a'), FiveBitCode('A')};
  BitWriter w;
  std::string window(8192, ' ');
  uint32_t x = seed;
  for (size_t b = 0; b < sizes.size(); ++b) {
    const Code& c = codes[b % 2];
    const char first = b % 2 ? 'A' : 'a';
    PutBlockHeader(w, sizes[b], c, {});
    for (int i = 0; i < sizes[b]; ++i) {
      x = x * 1103515245u + 12345u;
      bool edge = i == 0 || i == sizes[b] - 1;
      if (!edge && matchEvery && (x >> 8) % static_cast<uint32_t>(matchEvery) == 0) {
        int length = 3 + static_cast<int>((x >> 20) & 1);
        c.Put(w, 256 + length - 3);
        window.append(static_cast<size_t>(length), window.back());
        continue;
      }
      int literal = first + static_cast<int>((x >> 16) % kLiterals);
      c.Put(w, literal);
      window += static_cast<char>(literal);
    }
  }
  return {w.Bytes(), window.substr(8192)};
}

void ExpectDecodes(const Stream& s, size_t size, const std::string& what) {
  Coded d = Decode(coLZH5, s.bytes, static_cast<int32_t>(size));
  ASSERT_EQ(d.bytes.size(), size) << what;
  EXPECT_TRUE(d.bytes == s.expected.substr(0, size)) << what;
}

struct BlockCase {
  std::vector<int> sizes;
  int matchEvery;
};
void PrintTo(const BlockCase& c, std::ostream* os) {
  *os << "sizes";
  for (int s : c.sizes) *os << ' ' << s;
  *os << ", a match in " << c.matchEvery;
}

class Lh5LiteralPairs : public testing::TestWithParam<BlockCase> {};

TEST_P(Lh5LiteralPairs, EachBlockEndsAfterItsLastLiteral) {
  // Enough blocks that most of them are decoded with the input well ahead.
  std::vector<int> sizes;
  for (int repeat = 0; repeat < 40; ++repeat) sizes.insert(sizes.end(), GetParam().sizes.begin(), GetParam().sizes.end());
  for (uint32_t seed : {1u, 2u, 3u}) {
    Stream s = Blocks(sizes, seed, GetParam().matchEvery);
    ExpectDecodes(s, s.expected.size(), "seed " + std::to_string(seed));
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, Lh5LiteralPairs,
                         testing::Values(BlockCase{{1, 2, 3}, 0}, BlockCase{{5, 4, 7, 6}, 0},
                                         BlockCase{{9, 10, 11, 12, 13}, 0}, BlockCase{{17, 2, 31, 1}, 0},
                                         BlockCase{{64, 255, 1000, 1}, 0}, BlockCase{{7, 8, 9, 20}, 3},
                                         BlockCase{{33, 64, 101, 2}, 5}, BlockCase{{1000, 999, 3}, 4}));

// The window goes to the sink every 64 KiB; pairs on either side of it, at every parity the
// matches leave, and expanded sizes that end on either byte of a pair.
TEST(Lh5LiteralPairsHandOver, OutputIsCutWhereTheWindowIsHandedOn) {
  for (int matchEvery : {0, 3, 7}) {
    for (uint32_t seed : {1u, 2u}) {
      Stream s = Blocks({40000, 40001, 3}, seed, matchEvery);
      const std::string what = "matches 1 in " + std::to_string(matchEvery) + ", seed " + std::to_string(seed);
      ExpectDecodes(s, s.expected.size(), what);
      for (size_t size : {65534u, 65535u, 65536u, 65537u, 65538u, 131071u, 131072u, 131073u})
        if (size < s.expected.size()) ExpectDecodes(s, size, what + ", size " + std::to_string(size));
    }
  }
}

}  // namespace
}  // namespace tovin::test
