#include "codec/lzh_match_finder.h"

#include <cstring>

namespace tovin::lzh {

void MatchFinder::Reset() {
  std::memset(text, 0, sizeof text);
  for (int i = 0; i < kSlots; ++i) {
    lson_[i] = rson_[i] = kNil;
    dad_[i] = kNil;
    same_[i] = 1;
  }
  matchLength = 0;
  matchPosition = 0;
}

void MatchFinder::Insert(int r) {
  int p = Root(r);
  int i = 1;    // bytes r shares with p
  int cmp = 1;  // r against p at index i: > 0 greater, < 0 less, 0 all equal
  lson_[r] = rson_[r] = kNil;
  matchLength = 0;
  for (;;) {
    uint16_t& link = cmp >= 0 ? rson_[p] : lson_[p];
    if (link == kNil) {
      link = static_cast<uint16_t>(r);
      dad_[r] = static_cast<uint16_t>(p);
      same_[r] = static_cast<uint8_t>(i);
      return;
    }
    int e = link;
    int f = same_[e];
    if (f < i) {
      i = f;
      cmp = text[r + i] - text[e + i];
    } else if (f == i) {
      i = Common(r, e, i);
      cmp = i < kLookAhead ? text[r + i] - text[e + i] : 0;
    }  // f > i: e agrees with p beyond i, so r differs from e where it differs from p
    p = e;
    if (i > kThreshold) {
      int position = ((r - e) & (kWindow - 1)) - 1;
      if (i > matchLength) {
        matchPosition = position;
        matchLength = i;
        if (i >= kLookAhead) break;
      } else if (i == matchLength && position < matchPosition) {
        matchPosition = position;
      }
    }
  }
  // r equals p on all 60 bytes: r takes p's place in the tree.
  dad_[r] = dad_[p];
  lson_[r] = lson_[p];
  rson_[r] = rson_[p];
  same_[r] = same_[p];
  dad_[lson_[p]] = static_cast<uint16_t>(r);
  dad_[rson_[p]] = static_cast<uint16_t>(r);
  ReplaceChildLink(dad_[p], p, r);
  dad_[p] = kNil;
}

void MatchFinder::Delete(int p) {
  if (dad_[p] == kNil) return;
  int q;
  bool twoChildren = false;
  if (rson_[p] == kNil) {
    q = lson_[p];
    if (q != kNil) same_[q] = static_cast<uint8_t>(MovedUp(q, p));
  } else if (lson_[p] == kNil) {
    q = rson_[p];
    same_[q] = static_cast<uint8_t>(MovedUp(q, p));
  } else {
    twoChildren = true;
    q = lson_[p];
    if (rson_[q] != kNil) {
      do q = rson_[q];
      while (rson_[q] != kNil);
      int left = lson_[q];
      if (left != kNil) same_[left] = static_cast<uint8_t>(MovedUp(left, q));
      rson_[dad_[q]] = static_cast<uint16_t>(left);
      dad_[left] = dad_[q];
      lson_[q] = lson_[p];
      dad_[lson_[p]] = static_cast<uint16_t>(q);
      same_[lson_[q]] = static_cast<uint8_t>(Fresh(lson_[q], q, 1));
    }
    rson_[q] = rson_[p];
    dad_[rson_[p]] = static_cast<uint16_t>(q);
    same_[rson_[q]] = static_cast<uint8_t>(Fresh(rson_[q], q, 1));
  }
  dad_[q] = dad_[p];
  ReplaceChildLink(dad_[p], p, q);
  if (twoChildren) same_[q] = static_cast<uint8_t>(Fresh(q, dad_[q], 1));
  dad_[p] = kNil;
}

}  // namespace tovin::lzh
