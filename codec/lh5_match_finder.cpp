#include "codec/lh5_match_finder.h"

#include <cstring>

namespace tovin::lh5 {

void MatchFinder::Reset() {
  std::memset(text, 0, sizeof text);
  for (int i = kDicSize; i <= kDicSize + 255; ++i) {
    level_[i] = 1;
    position_[i] = 0;
  }
  for (int i = kDicSize; i < 2 * kDicSize; ++i) parent_[i] = 0;
  avail_ = 1;
  for (int i = 1; i < kDicSize - 1; ++i) next_[i] = static_cast<uint16_t>(i + 1);
  next_[kDicSize - 1] = 0;
  for (int i = 2 * kDicSize; i < kHashSize; ++i) next_[i] = 0;
  matchLength = 0;
  matchPosition = 0;
}

int MatchFinder::Child(int q, int c) {
  int r = next_[Hash(q, c)];
  parent_[0] = static_cast<uint16_t>(q);  // sentinel: the walk stops at node 0
  while (parent_[r] != q) r = next_[r];
  return r;
}

void MatchFinder::MakeChild(int q, int c, int r) {
  int h = Hash(q, c);
  int t = next_[h];
  next_[h] = static_cast<uint16_t>(r);
  next_[r] = static_cast<uint16_t>(t);
  prev_[t] = static_cast<uint16_t>(r);
  prev_[r] = static_cast<uint16_t>(h);
  parent_[r] = static_cast<uint16_t>(q);
  ++childCount_[q];
}

void MatchFinder::Split(int old) {
  int n = avail_;
  avail_ = next_[n];
  childCount_[n] = 0;
  int t = prev_[old];
  prev_[n] = static_cast<uint16_t>(t);
  next_[t] = static_cast<uint16_t>(n);
  t = next_[old];
  next_[n] = static_cast<uint16_t>(t);
  prev_[t] = static_cast<uint16_t>(n);
  parent_[n] = parent_[old];
  level_[n] = static_cast<uint8_t>(matchLength);
  position_[n] = static_cast<uint16_t>(pos);
  MakeChild(n, text[matchPosition + matchLength], old);
  MakeChild(n, text[pos + matchLength], pos);
}

void MatchFinder::Insert() {
  int q, r;
  if (matchLength >= 4) {
    --matchLength;
    r = (matchPosition + 1) | kDicSize;
    while ((q = parent_[r]) == 0) r = next_[r];
    while (level_[q] >= matchLength) {
      r = q;
      q = parent_[q];
    }
    int t = q;
    while (position_[t] & kPercolate) {
      position_[t] = static_cast<uint16_t>(pos);
      t = parent_[t];
    }
    if (t < kDicSize) position_[t] = static_cast<uint16_t>(pos | kPercolate);
  } else {
    q = text[pos] + kDicSize;
    int c = text[pos + 1];
    if ((r = Child(q, c)) == 0) {
      MakeChild(q, c, pos);
      matchLength = 1;
      return;
    }
    matchLength = 2;
  }
  for (;;) {
    int limit;
    if (r >= kDicSize) {
      limit = kMaxMatch;
      matchPosition = r;
    } else {
      limit = level_[r];
      matchPosition = position_[r] & ~kPercolate;
    }
    if (matchPosition >= pos) matchPosition -= kDicSize;
    const uint8_t* a = text + pos + matchLength;
    const uint8_t* b = text + matchPosition + matchLength;
    while (matchLength < limit) {
      if (*a != *b) {
        Split(r);
        return;
      }
      ++matchLength;
      ++a;
      ++b;
    }
    if (matchLength >= kMaxMatch) break;
    position_[r] = static_cast<uint16_t>(pos);
    q = r;
    if ((r = Child(q, *a)) == 0) {
      MakeChild(q, *a, pos);
      return;
    }
    ++matchLength;
  }
  // A full-length match: pos takes the old leaf's place, which points on to its successor.
  int t = prev_[r];
  prev_[pos] = static_cast<uint16_t>(t);
  next_[t] = static_cast<uint16_t>(pos);
  t = next_[r];
  next_[pos] = static_cast<uint16_t>(t);
  prev_[t] = static_cast<uint16_t>(pos);
  parent_[pos] = static_cast<uint16_t>(q);
  parent_[r] = 0;
  next_[r] = static_cast<uint16_t>(pos);
}

void MatchFinder::Delete() {
  if (parent_[pos] == 0) return;
  int r = prev_[pos];
  int s = next_[pos];
  next_[r] = static_cast<uint16_t>(s);
  prev_[s] = static_cast<uint16_t>(r);
  r = parent_[pos];
  parent_[pos] = 0;
  if (r >= kDicSize || --childCount_[r] > 1) return;
  int t = position_[r] & ~kPercolate;
  if (t >= pos) t -= kDicSize;
  s = t;
  int q = parent_[r];
  int u;
  while ((u = position_[q]) & kPercolate) {
    u &= ~kPercolate;
    if (u >= pos) u -= kDicSize;
    if (u > s) s = u;
    position_[q] = static_cast<uint16_t>(s | kDicSize);
    q = parent_[q];
  }
  if (q < kDicSize) {
    if (u >= pos) u -= kDicSize;
    if (u > s) s = u;
    position_[q] = static_cast<uint16_t>(s | kDicSize | kPercolate);
  }
  s = Child(r, text[t + level_[r]]);
  t = prev_[s];
  u = next_[s];
  next_[t] = static_cast<uint16_t>(u);
  prev_[u] = static_cast<uint16_t>(t);
  t = prev_[r];
  next_[t] = static_cast<uint16_t>(s);
  prev_[s] = static_cast<uint16_t>(t);
  t = next_[r];
  prev_[t] = static_cast<uint16_t>(s);
  next_[s] = static_cast<uint16_t>(t);
  parent_[s] = parent_[r];
  parent_[r] = 0;
  next_[r] = static_cast<uint16_t>(avail_);
  avail_ = r;
}

}  // namespace tovin::lh5
