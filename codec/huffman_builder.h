// Builds the static Huffman codes of the lh5 encoder: a heap-ordered merge with fixed
// tie-breaks, lengths limited to 16 bits, canonical codes left-aligned in 16 bits.
#pragma once
#include <cstdint>

namespace tovin::lh5 {

class HuffmanBuilder {
 public:
  // freq holds n symbol frequencies and room for n - 1 inner nodes after them. Returns the
  // root: a node number >= n for a real tree, or the one symbol (whose length stays 0) when
  // fewer than two symbols occur.
  int Build(int n, uint16_t* freq, uint8_t* lengths, uint16_t* codes);

 private:
  void SiftDown(int i);
  void CountLengths(int root);

  int n_ = 0;
  uint16_t* freq_ = nullptr;
  int heapSize_ = 0;
  int heap_[512 + 1];
  uint16_t left_[1019], right_[1019];
  uint16_t lengthCount_[17];
  int leafOrder_[510];
  int leafCount_ = 0;
};

}  // namespace tovin::lh5
