// The adaptive Huffman tree of the lzh method (the LZHUF coding): 314 symbols, updated after
// every symbol on both sides and rebuilt with halved frequencies when the root reaches 32768.
#pragma once
#include <cstdint>
#include <cstring>

namespace tovin::lzh {

inline constexpr int kSymbols = 256 + 60 - 2;  // 314: literals and match lengths 3..60
inline constexpr int kNodes = 2 * kSymbols - 1;   // 627
inline constexpr int kRoot = kNodes - 1;          // 626
inline constexpr uint16_t kMaxFrequency = 0x8000;

class AdaptiveTree {
 public:
  void Start();
  void Update(int symbol);

  uint16_t freq[kNodes + 1];
  uint16_t son[kNodes];
  uint16_t parent[kNodes + kSymbols];

 private:
  void Rebuild();
};

}  // namespace tovin::lzh
