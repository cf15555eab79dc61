// The lh5 encoder's text window and match finder: a path-compressed trie of the strings that
// start at the last 8191 positions, searched and updated in place at every position. A search
// that continues the previous match starts one level above that match's node instead of at
// the root; inner nodes come from a fixed free list.
#pragma once
#include <cstdint>

#include "codec/lh5_format.h"

namespace tovin::lh5 {

class MatchFinder {
 public:
  static constexpr int kTextSize = 2 * kDicSize + kMaxMatch + 1;

  void Reset();
  // Inserts the string at pos, updating matchLength and matchPosition from their values left
  // by the previous insertion.
  void Insert();
  // Removes the leaf numbered pos (the string 8192 positions back).
  void Delete();

  uint8_t text[kTextSize];
  int pos = 0;
  int matchLength = 0;
  int matchPosition = 0;

 private:
  static constexpr int kPercolate = 0x8000;
  static constexpr int kHashSize = 3 * kDicSize + (kDicSize / 512 + 1) * 255 + 1;  // 28912
  static int Hash(int node, int c) { return node + (c << (kDicBits - 9)) + 2 * kDicSize; }
  int Child(int q, int c);
  void MakeChild(int q, int c, int r);
  void Split(int old);

  uint8_t level_[kDicSize + 256 + 1];
  uint8_t childCount_[kDicSize + 256 + 1];
  uint16_t position_[kDicSize + 256 + 1];
  uint16_t parent_[2 * kDicSize];
  uint16_t prev_[2 * kDicSize];
  uint16_t next_[kHashSize];
  int avail_ = 1;
};

}  // namespace tovin::lh5
