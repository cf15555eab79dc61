#include "codec/huffman_builder.h"

namespace tovin::lh5 {

void HuffmanBuilder::SiftDown(int i) {
  int k = heap_[i];
  int j;
  while ((j = 2 * i) <= heapSize_) {
    if (j < heapSize_ && freq_[heap_[j]] > freq_[heap_[j + 1]]) ++j;
    if (freq_[k] <= freq_[heap_[j]]) break;
    heap_[i] = heap_[j];
    i = j;
  }
  heap_[i] = k;
}

void HuffmanBuilder::CountLengths(int root) {
  // Depth-first, left before right; leaves deeper than 16 count at 16.
  struct Item {
    int node, depth;
  } stack[1100];
  int top = 0;
  stack[top++] = {root, 0};
  while (top > 0) {
    Item it = stack[--top];
    if (it.node < n_) {
      ++lengthCount_[it.depth < 16 ? it.depth : 16];
    } else {
      stack[top++] = {right_[it.node], it.depth + 1};
      stack[top++] = {left_[it.node], it.depth + 1};
    }
  }
}

int HuffmanBuilder::Build(int n, uint16_t* freq, uint8_t* lengths, uint16_t* codes) {
  n_ = n;
  freq_ = freq;
  heapSize_ = 0;
  heap_[1] = 0;
  for (int i = 0; i < n; ++i) {
    lengths[i] = 0;
    if (freq[i]) heap_[++heapSize_] = i;
  }
  if (heapSize_ < 2) {
    codes[heap_[1]] = 0;
    return heap_[1];
  }
  for (int i = heapSize_ / 2; i >= 1; --i) SiftDown(i);
  leafCount_ = 0;
  int avail = n, k = 0;
  do {
    int i = heap_[1];
    if (i < n) leafOrder_[leafCount_++] = i;
    heap_[1] = heap_[heapSize_--];
    SiftDown(1);
    int j = heap_[1];
    if (j < n) leafOrder_[leafCount_++] = j;
    k = avail++;
    freq[k] = static_cast<uint16_t>(freq[i] + freq[j]);
    heap_[1] = k;
    SiftDown(1);
    left_[k] = static_cast<uint16_t>(i);
    right_[k] = static_cast<uint16_t>(j);
  } while (heapSize_ > 1);

  for (auto& c : lengthCount_) c = 0;
  CountLengths(k);
  uint16_t sum = 0;
  for (int d = 1; d <= 16; ++d) sum = static_cast<uint16_t>(sum + (lengthCount_[d] << (16 - d)));
  for (uint16_t excess = sum; excess > 0; --excess) {
    --lengthCount_[16];
    for (int d = 15; d > 0; --d) {
      if (lengthCount_[d] != 0) {
        --lengthCount_[d];
        lengthCount_[d + 1] = static_cast<uint16_t>(lengthCount_[d + 1] + 2);
        break;
      }
    }
  }
  int next = 0;
  for (int d = 16; d > 0; --d)
    for (int c = lengthCount_[d]; c > 0; --c) lengths[leafOrder_[next++]] = static_cast<uint8_t>(d);

  uint16_t start[18];
  start[1] = 0;
  for (int d = 1; d <= 16; ++d) start[d + 1] = static_cast<uint16_t>(start[d] + (lengthCount_[d] << (16 - d)));
  for (int s = 0; s < n; ++s) {
    if (lengths[s] == 0) continue;
    codes[s] = start[lengths[s]];
    start[lengths[s]] = static_cast<uint16_t>(start[lengths[s]] + (1u << (16 - lengths[s])));
  }
  return k;
}

}  // namespace tovin::lh5
