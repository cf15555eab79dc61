// The lzh match finder skips the bytes a node is known to share with its parent. Driven
// through the encoder's sequence of inserts and deletes, it must find exactly what a plain
// binary tree that compares every string from the start finds.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "codec/lzh_match_finder.h"
#include "tests/codec/codec_helpers.h"

namespace tovin::test {
namespace {

using namespace tovin::lzh;

// The same trees, compared in full at every node.
class PlainTree {
 public:
  uint8_t* text = nullptr;
  int matchLength = 0, matchPosition = 0;
  void Reset() {
    for (int i = 0; i < 8193; ++i) lson_[i] = rson_[i] = dad_[i] = kNil;
  }
  void Insert(int r) {
    int x = text[r + 1] ^ text[r + 2];
    int p = kWindow + 1 + text[r] + 256 * ((x ^ (x >> 4)) & 15);
    int cmp = 1;
    lson_[r] = rson_[r] = kNil;
    matchLength = 0;
    for (;;) {
      int& link = cmp >= 0 ? rson_[p] : lson_[p];
      if (link == kNil) {
        link = r;
        dad_[r] = p;
        return;
      }
      p = link;
      int i = 1;
      for (; i < kLookAhead; ++i)
        if ((cmp = text[r + i] - text[p + i]) != 0) break;
      if (i > kThreshold) {
        int c = ((r - p) & (kWindow - 1)) - 1;
        if (i > matchLength) {
          matchPosition = c;
          if ((matchLength = i) >= kLookAhead) break;
        } else if (i == matchLength && c < matchPosition) {
          matchPosition = c;
        }
      }
    }
    dad_[r] = dad_[p];
    lson_[r] = lson_[p];
    rson_[r] = rson_[p];
    dad_[lson_[p]] = r;
    dad_[rson_[p]] = r;
    if (rson_[dad_[p]] == p) rson_[dad_[p]] = r;
    else lson_[dad_[p]] = r;
    dad_[p] = kNil;
  }
  void Delete(int p) {
    if (dad_[p] == kNil) return;
    int q;
    if (rson_[p] == kNil) q = lson_[p];
    else if (lson_[p] == kNil) q = rson_[p];
    else {
      q = lson_[p];
      if (rson_[q] != kNil) {
        do q = rson_[q];
        while (rson_[q] != kNil);
        rson_[dad_[q]] = lson_[q];
        dad_[lson_[q]] = dad_[q];
        lson_[q] = lson_[p];
        dad_[lson_[p]] = q;
      }
      rson_[q] = rson_[p];
      dad_[rson_[p]] = q;
    }
    dad_[q] = dad_[p];
    if (rson_[dad_[p]] == p) rson_[dad_[p]] = q;
    else lson_[dad_[p]] = q;
    dad_[p] = kNil;
  }

 private:
  int lson_[8193], rson_[8193], dad_[8193];
};

// Runs the encoder's loop over input, with every match taken greedily, and compares.
void Compare(const std::string& input) {
  auto fast = std::make_unique<MatchFinder>();
  auto plain = std::make_unique<PlainTree>();
  fast->Reset();
  plain->Reset();
  plain->text = fast->text;
  uint8_t* text = fast->text;
  size_t next = 0;
  int s = 0, r = kWindow - kLookAhead, len = 0;
  std::memset(text, ' ', static_cast<size_t>(r));
  while (len < kLookAhead && next < input.size()) text[r + len++] = static_cast<uint8_t>(input[next++]);
  if (len == 0) return;
  auto insert = [&](int at) {
    fast->Insert(at);
    plain->Insert(at);
    ASSERT_EQ(fast->matchLength, plain->matchLength) << "at " << next;
    if (plain->matchLength > kThreshold) {
      ASSERT_EQ(fast->matchPosition, plain->matchPosition) << "at " << next;
    }
  };
  for (int i = 1; i <= kLookAhead; ++i) insert(r - i);
  insert(r);
  while (len > 0) {
    int step = fast->matchLength > kThreshold ? std::min(fast->matchLength, len) : 1;
    for (int i = 0; i < step; ++i) {
      fast->Delete(s);
      plain->Delete(s);
      if (next < input.size()) {
        uint8_t c = static_cast<uint8_t>(input[next++]);
        text[s] = c;
        if (s < kLookAhead - 1) text[s + kWindow] = c;
      } else {
        --len;
      }
      s = (s + 1) & (kWindow - 1);
      r = (r + 1) & (kWindow - 1);
      if (len > 0) insert(r);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

TEST(LzhMatchFinder, AgreesWithAPlainTree) {
  for (const auto& s : Samples()) {
    SCOPED_TRACE(s.name);
    Compare(s.data.substr(0, 60000));
    if (::testing::Test::HasFatalFailure()) return;
  }
  std::string binaryish;  // few distinct bytes: long shared prefixes and many deletions
  uint32_t x = 7;
  for (int i = 0; i < 50000; ++i) {
    x = x * 1103515245u + 12345u;
    binaryish += "ab"[(x >> 16) & 1];
  }
  Compare(binaryish);
}

}  // namespace
}  // namespace tovin::test
