// Hand-built lh5 streams whose C and P codes use every length up to 16 bits, decoded against a
// plain model of the window: codes past the first-level tables, the longest matches and the
// farthest distances, in the bulk of the input and at its tail, across input chunks.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/codec/codec_helpers.h"

namespace tovin::test {
namespace {

// Canonical codes of a complete length list, as the stream defines them.
std::vector<uint32_t> Codes(const std::vector<int>& lengths) {
  std::array<uint32_t, 17> count{}, next{};
  for (int l : lengths) ++count[static_cast<size_t>(l)];
  count[0] = 0;
  uint32_t code = 0;
  for (int l = 1; l <= 16; ++l) {
    next[static_cast<size_t>(l)] = code;
    code = (code + count[static_cast<size_t>(l)]) << 1;
  }
  std::vector<uint32_t> codes(lengths.size());
  for (size_t s = 0; s < lengths.size(); ++s)
    if (lengths[s]) codes[s] = next[static_cast<size_t>(lengths[s])]++;
  return codes;
}

struct Code {
  std::vector<int> lengths;
  std::vector<uint32_t> codes;
  void Put(BitWriter& w, int symbol) const {
    ASSERT_GT(lengths[static_cast<size_t>(symbol)], 0);
    w.Put(lengths[static_cast<size_t>(symbol)], codes[static_cast<size_t>(symbol)]);
  }
};

Code MakeCode(std::vector<int> lengths) { return Code{lengths, Codes(lengths)}; }

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

void PutCLengths(BitWriter& w, const std::vector<int>& c, const Code& t) {
  int k = 510;
  while (k > 0 && c[static_cast<size_t>(k - 1)] == 0) --k;
  w.Put(9, static_cast<uint32_t>(k));
  for (int i = 0; i < k;) {
    if (c[static_cast<size_t>(i)] != 0) {
      t.Put(w, c[static_cast<size_t>(i)] + 2);
      ++i;
      continue;
    }
    int run = 0;
    while (i + run < k && c[static_cast<size_t>(i + run)] == 0) ++run;
    i += run;
    if (run >= 20) {
      t.Put(w, 2);
      w.Put(9, static_cast<uint32_t>(run - 20));
    } else if (run == 19) {
      t.Put(w, 0);
      t.Put(w, 1);
      w.Put(4, 15);
    } else if (run >= 3) {
      t.Put(w, 1);
      w.Put(4, static_cast<uint32_t>(run - 3));
    } else {
      for (int j = 0; j < run; ++j) t.Put(w, 0);
    }
  }
}

struct Built {
  std::string stream;
  std::string expected;
};

// symbols C symbols in one block, drawn from both codes by a fixed generator.
Built Build(int symbols, uint32_t seed) {
  // T: 13 codes of 4 bits and 6 of 5.
  std::vector<int> tLen(19);
  for (int i = 0; i < 19; ++i) tLen[static_cast<size_t>(i)] = i < 13 ? 4 : 5;
  Code t = MakeCode(tLen), c = MakeCode(CLengths()), p = MakeCode(PLengths());
  std::vector<int> cSymbols, pSymbols;
  for (int s = 0; s < 510; ++s)
    if (c.lengths[static_cast<size_t>(s)]) cSymbols.push_back(s);
  BitWriter w;
  w.Put(16, static_cast<uint32_t>(symbols));
  w.Put(5, 19);
  for (int i = 0; i < 19; ++i) {
    w.Length(tLen[static_cast<size_t>(i)]);
    if (i == 2) w.Put(2, 0);
  }
  PutCLengths(w, c.lengths, t);
  w.Put(4, 14);
  for (int l : p.lengths) w.Length(l);
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
