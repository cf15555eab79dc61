// Hand-built lh5 blocks: canonical codes of chosen length lists and the block header that
// declares them.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "tests/codec/codec_helpers.h"

namespace tovin::test {

// Canonical codes of a complete length list, as the stream defines them.
inline std::vector<uint32_t> Codes(const std::vector<int>& lengths) {
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

inline Code MakeCode(std::vector<int> lengths) { return Code{lengths, Codes(lengths)}; }

// T: 13 codes of 4 bits and 6 of 5, enough for any C length list.
inline std::vector<int> TLengths() {
  std::vector<int> len(19);
  for (int i = 0; i < 19; ++i) len[static_cast<size_t>(i)] = i < 13 ? 4 : 5;
  return len;
}

inline void PutCLengths(BitWriter& w, const std::vector<int>& c, const Code& t) {
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

// The header of a block of `symbols` C symbols: T lengths, C lengths, then the P lengths, or
// when there are none, the one P class singleP that uses no bits.
inline void PutBlockHeader(BitWriter& w, int symbols, const Code& c, const std::vector<int>& pLengths,
                           int singleP = 0) {
  Code t = MakeCode(TLengths());
  w.Put(16, static_cast<uint32_t>(symbols));
  w.Put(5, 19);
  for (int i = 0; i < 19; ++i) {
    w.Length(t.lengths[static_cast<size_t>(i)]);
    if (i == 2) w.Put(2, 0);
  }
  PutCLengths(w, c.lengths, t);
  if (pLengths.empty()) {
    w.Put(4, 0);
    w.Put(4, static_cast<uint32_t>(singleP));
    return;
  }
  w.Put(4, static_cast<uint32_t>(pLengths.size()));
  for (int l : pLengths) w.Length(l);
}

}  // namespace tovin::test
