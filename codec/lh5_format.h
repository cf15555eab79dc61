// Constants of the lh5 stream (LZSS, 8192-byte window, static Huffman codes per block).
#pragma once

namespace tovin::lh5 {

inline constexpr int kDicBits = 13;
inline constexpr int kDicSize = 1 << kDicBits;  // 8192
inline constexpr int kMaxMatch = 256;
inline constexpr int kThreshold = 3;             // shortest match
inline constexpr int NC = 256 + kMaxMatch - kThreshold + 1;  // 510 C symbols
inline constexpr int NP = kDicBits + 1;          // 14 distance classes
inline constexpr int NT = 19;                    // codes of the C length list
inline constexpr int kCountBitsC = 9, kCountBitsP = 4, kCountBitsT = 5;
inline constexpr int kMaxCodeLength = 16;

}  // namespace tovin::lh5
