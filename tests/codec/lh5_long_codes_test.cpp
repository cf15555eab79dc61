// Hand-built lh5 streams whose C and P codes use every length up to 16 bits, decoded against a
// plain model of the window: codes past the first-level tables, the longest matches and the
// farthest distances, in the bulk of the input and at its tail, across input chunks.
#include <gtest/gtest.h>

#include <vector>

#include "tests/codec/lh5_stream_writer.h"

namespace tovin::test {
namespace {

// C: one symbol of each length 1..15 and two of 16; literals and matches alternate by length.
std::vector<int> CLengths() {
  std::vector<int> len(510, 0);
  for (int l = 1; l <= 15; ++l) len[static_cast<size_t>(l % 2 ? 64 + l : 256 + 10 * l)] = l;
  len['Z'] = 16;
  len[509] = 16;  // the longest match
  return len;
}

// P: classes 0..12 of lengths 1..13 and class 13 also 13.
std::vector<int> PLengths() {
  std::vector<int> len(14);
  for (int p = 0; p < 13; ++p) len[static_cast<size_t>(p)] = p + 1;
  len[13] = 13;
  return len;
}

struct Built {
  std::string stream;
  std::string expected;
};

// symbols C symbols in one block, drawn from both codes by a fixed generator.
Built Build(int symbols, uint32_t seed) {
  Code c = MakeCode(CLengths()), p = MakeCode(PLengths());
  std::vector<int> cSymbols;
  for (int s = 0; s < 510; ++s)
    if (c.lengths[static_cast<size_t>(s)]) cSymbols.push_back(s);
  BitWriter w;
  PutBlockHeader(w, symbols, c, p.lengths);
  std::string window(8192, ' ');
  uint32_t x = seed;
  for (int i = 0; i < symbols; ++i) {
    x = x * 1103515245u + 12345u;
    int sym = cSymbols[(x >> 16) % cSymbols.size()];
    c.Put(w, sym);
    if (sym < 256) {
      window += static_cast<char>(sym);
      continue;
    }
    x = x * 1103515245u + 12345u;
    int cls = static_cast<int>((x >> 16) % 14);
    p.Put(w, cls);
    uint32_t distance = 0;
    if (cls > 0) {
      uint32_t extraBits = static_cast<uint32_t>(cls - 1);
      uint32_t extra = extraBits ? (x >> 3) & ((1u << extraBits) - 1) : 0;
      w.Put(static_cast<int>(extraBits), extra);
      distance = (1u << extraBits) + extra;
    }
    size_t from = window.size() - distance - 1;
    for (int j = 0; j < sym - 253; ++j) window += window[from + static_cast<size_t>(j)];
  }
  return {w.Bytes(), window.substr(8192)};
}

TEST(Lh5LongCodes, EveryCodeLengthDecodes) {
  for (int symbols : {1, 7, 40, 3000, 20000}) {
    Built b = Build(symbols, static_cast<uint32_t>(symbols));
    Coded d = Decode(coLZH5, b.stream, static_cast<int32_t>(b.expected.size()));
    ASSERT_EQ(d.bytes.size(), b.expected.size()) << symbols;
    EXPECT_TRUE(d.bytes == b.expected) << symbols;
    EXPECT_EQ(d.checksum, ByteSum(b.expected)) << symbols;
  }
}

// Cut anywhere in the symbols, the same stream still decodes up to the cut size exactly.
TEST(Lh5LongCodes, AnyExpandedSizeCutsTheOutputThere) {
  Built b = Build(3000, 5);
  for (size_t size = 1; size < b.expected.size(); size = size * 3 / 2 + 1) {
    Coded d = Decode(coLZH5, b.stream, static_cast<int32_t>(size));
    EXPECT_TRUE(d.bytes == b.expected.substr(0, size)) << size;
  }
}

}  // namespace
}  // namespace tovin::test
