#include "codec/lh5_match_finder.h"

#include <cstring>

namespace tovin::lh5 {

void MatchFinder::Reset() {
  std::memset(text, 0, sizeof text);
  for (int i = kDicSize; i <= kDicSize + 255; ++i) {
    inner_[i].level = 1;
    inner_[i].position = 0;
  }
  for (int i = kDicSize; i < 2 * kDicSize; ++i) link_[i].parent = 0;
  avail_ = 1;
  for (int i = 1; i < kDicSize - 1; ++i) link_[i].next = static_cast<uint16_t>(i + 1);
  link_[kDicSize - 1].next = 0;
  for (int i = kFirstBucket; i < kFirstBucket + (1 << kBucketBits); ++i) link_[i].next = 0;
  matchLength = 0;
  matchPosition = 0;
}

int MatchFinder::Child(int q, int c) {
  int r = link_[Hash(q, c)].next;
  link_[0].parent = static_cast<uint16_t>(q);  // sentinel: the walk stops at node 0
  while (link_[r].parent != q) r = link_[r].next;
  return r;
}

void MatchFinder::MakeChild(int q, int c, int r) {
  int h = Hash(q, c);
  int t = link_[h].next;
  link_[h].next = static_cast<uint16_t>(r);
  link_[r].next = static_cast<uint16_t>(t);
  prev_[t] = static_cast<uint16_t>(r);
  prev_[r] = static_cast<uint16_t>(h);
  link_[r].parent = static_cast<uint16_t>(q);
  ++inner_[q].childCount;
}

void MatchFinder::Split(int old) {
  int n = avail_;
  avail_ = link_[n].next;
  inner_[n].childCount = 0;
  int t = prev_[old];
  prev_[n] = static_cast<uint16_t>(t);
  link_[t].next = static_cast<uint16_t>(n);
  t = link_[old].next;
  link_[n].next = static_cast<uint16_t>(t);
  prev_[t] = static_cast<uint16_t>(n);
  link_[n].parent = link_[old].parent;
  inner_[n].level = static_cast<uint8_t>(matchLength);
  inner_[n].position = static_cast<uint16_t>(pos);
  MakeChild(n, text[matchPosition + matchLength], old);
  MakeChild(n, text[pos + matchLength], pos);
}

void MatchFinder::Insert() {
  int q, r;
  if (matchLength >= 4) {
    --matchLength;
    r = (matchPosition + 1) | kDicSize;
    while ((q = link_[r].parent) == 0) r = link_[r].next;
    while (inner_[q].level >= matchLength) {
      r = q;
      q = link_[q].parent;
    }
    int t = q;
    while (inner_[t].position & kPercolate) {
      inner_[t].position = static_cast<uint16_t>(pos);
      t = link_[t].parent;
    }
    if (t < kDicSize) inner_[t].position = static_cast<uint16_t>(pos | kPercolate);
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
      limit = inner_[r].level;
      matchPosition = inner_[r].position & ~kPercolate;
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
    inner_[r].position = static_cast<uint16_t>(pos);
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
  link_[t].next = static_cast<uint16_t>(pos);
  t = link_[r].next;
  link_[pos].next = static_cast<uint16_t>(t);
  prev_[t] = static_cast<uint16_t>(pos);
  link_[pos].parent = static_cast<uint16_t>(q);
  link_[r].parent = 0;
  link_[r].next = static_cast<uint16_t>(pos);
}

void MatchFinder::Delete() {
  if (link_[pos].parent == 0) return;
  int r = prev_[pos];
  int s = link_[pos].next;
  link_[r].next = static_cast<uint16_t>(s);
  prev_[s] = static_cast<uint16_t>(r);
  r = link_[pos].parent;
  link_[pos].parent = 0;
  if (r >= kDicSize || --inner_[r].childCount > 1) return;
  int t = inner_[r].position & ~kPercolate;
  if (t >= pos) t -= kDicSize;
  s = t;
  int q = link_[r].parent;
  int u;
  while ((u = inner_[q].position) & kPercolate) {
    u &= ~kPercolate;
    if (u >= pos) u -= kDicSize;
    if (u > s) s = u;
    inner_[q].position = static_cast<uint16_t>(s | kDicSize);
    q = link_[q].parent;
  }
  if (q < kDicSize) {
    if (u >= pos) u -= kDicSize;
    if (u > s) s = u;
    inner_[q].position = static_cast<uint16_t>(s | kDicSize | kPercolate);
  }
  s = Child(r, text[t + inner_[r].level]);
  t = prev_[s];
  u = link_[s].next;
  link_[t].next = static_cast<uint16_t>(u);
  prev_[u] = static_cast<uint16_t>(t);
  t = prev_[r];
  link_[t].next = static_cast<uint16_t>(s);
  prev_[s] = static_cast<uint16_t>(t);
  t = link_[r].next;
  prev_[t] = static_cast<uint16_t>(s);
  link_[s].next = static_cast<uint16_t>(t);
  link_[s].parent = link_[r].parent;
  link_[r].parent = 0;
  link_[r].next = static_cast<uint16_t>(avail_);
  avail_ = r;
}

}  // namespace tovin::lh5
