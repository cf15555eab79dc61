// The lzh encoder's match finder: binary trees of the 60-byte strings at the last 4096
// positions, one tree per bucket of the first three bytes. Each node keeps how many leading
// bytes it shares with its parent, so a descent compares only from where the strings can
// differ.
#pragma once
#include <cstdint>

namespace tovin::lzh {

inline constexpr int kWindow = 4096;
inline constexpr int kLookAhead = 60;
inline constexpr int kThreshold = 2;
inline constexpr int kNil = kWindow;

class MatchFinder {
 public:
  static constexpr int kRoots = kWindow + 1;             // 4097..8192
  static constexpr int kSlots = kRoots + 16 * 256;        // 8193

  void Reset();
  // Inserts position r; leaves the longest match (at most 60, nearer wins ties) in
  // matchLength and matchPosition (distance minus one).
  void Insert(int r);
  void Delete(int p);

  uint8_t text[kWindow + kLookAhead - 1];
  int matchLength = 0;
  int matchPosition = 0;

 private:
  int Root(int r) const {
    int x = text[r + 1] ^ text[r + 2];
    return kRoots + text[r] + 256 * ((x ^ (x >> 4)) & 15);
  }
  // Equal leading bytes of the strings at a and b, counted from index from (at most 60).
  int Common(int a, int b, int from) const {
    while (from < kLookAhead && text[a + from] == text[b + from]) ++from;
    return from;
  }
  // Shared length of node child against parent, compared afresh from index from.
  int Fresh(int child, int parent, int from) const { return parent > kWindow ? 1 : Common(child, parent, from); }
  // Shared length of node c after it moves up into the place of old.
  int MovedUp(int c, int old) const {
    int a = same_[c], b = same_[old];
    return a != b ? (a < b ? a : b) : Fresh(c, dad_[old], a);
  }
  void ReplaceChildLink(int parent, int from, int to) {
    if (rson_[parent] == from) rson_[parent] = static_cast<uint16_t>(to);
    else lson_[parent] = static_cast<uint16_t>(to);
  }

  uint16_t lson_[kSlots], rson_[kSlots], dad_[kSlots];
  uint8_t same_[kSlots];
};

}  // namespace tovin::lzh
