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
  // Children hang in chains by a hash of (parent, byte). For one parent every byte has its own
  // bucket, so the first node of the chain whose parent matches is the child: which other
  // nodes share a chain, and in what order, never changes the result.
  static constexpr int kBucketBits = 15;
  static constexpr int kFirstBucket = 2 * kDicSize;
  static_assert(kFirstBucket + (1 << kBucketBits) <= 0x10000, "chain links are 16-bit");
  // The byte's term is an odd multiple, so it is one-to-one for a given node.
  static int Hash(int node, int c) {
    uint32_t h = (static_cast<uint32_t>(node) * 0x9E3779B1u >> (32 - kBucketBits)) + static_cast<uint32_t>(c) * 0x1F3Du;
    return kFirstBucket + static_cast<int>(h & ((1u << kBucketBits) - 1));
  }
  int Child(int q, int c);
  void MakeChild(int q, int c, int r);
  void Split(int old);

  // What the child walk reads, together. Leaves are 8192..16383, inner nodes 1..8191; the
  // entries from kFirstBucket on are chain heads and use only next.
  struct Link {
    uint16_t parent;
    uint16_t next;
  };
  // The fields of an inner node or root (roots are 8192..8447 and overlap leaf numbers).
  struct Inner {
    uint16_t position;
    uint8_t level;
    uint8_t childCount;
  };
  Link link_[kFirstBucket + (1 << kBucketBits)];
  uint16_t prev_[2 * kDicSize];
  Inner inner_[kDicSize + 256 + 1];
  int avail_ = 1;
};

}  // namespace tovin::lh5
