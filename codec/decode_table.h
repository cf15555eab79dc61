// Direct lookup table for a canonical prefix code of at most 16 bits: the top B bits index
// the table; codes longer than B continue in a second-level table of the remaining bits.
#pragma once
#include <cstdint>
#include <cstring>

namespace tovin {

template <int B, int MaxSymbols>
class DecodeTable {
 public:
  static constexpr int kSubBits = 16 - B;
  // Entry: symbol in bits 0..8, code length in bits 9..13; bit 15 marks a second-level index.
  // Returns false when the lengths are not a complete prefix code.
  bool Build(const uint8_t* lengths, int n) {
    uint32_t count[17] = {};
    for (int i = 0; i < n; ++i) {
      if (lengths[i] > 16) return false;
      ++count[lengths[i]];
    }
    uint32_t next[17];
    uint32_t code = 0;
    for (int len = 1; len <= 16; ++len) {
      next[len] = code;
      code += count[len] << (16 - len);
    }
    if (code != 0x10000) return false;
    std::memset(top_, 0, sizeof top_);
    int subUsed = 0;
    for (int sym = 0; sym < n; ++sym) {
      int len = lengths[sym];
      if (len == 0) continue;
      uint32_t c = next[len];
      next[len] += 1u << (16 - len);
      uint16_t entry = static_cast<uint16_t>(sym | len << 9);
      if (len <= B) {
        uint32_t first = c >> (16 - B);
        for (uint32_t i = 0; i < (1u << (B - len)); ++i) top_[first + i] = entry;
      } else {
        uint16_t& slot = top_[c >> (16 - B)];
        if (!(slot & 0x8000)) {
          slot = static_cast<uint16_t>(0x8000 | subUsed);
          subUsed += 1 << kSubBits;
        }
        uint16_t* sub = sub_ + (slot & 0x7FFF);
        uint32_t first = c & ((1u << kSubBits) - 1);
        for (uint32_t i = 0; i < (1u << (16 - len)); ++i) sub[first + i] = entry;
      }
    }
    return true;
  }
  // Every code decodes to value and uses no bits.
  void Single(int value) {
    for (auto& e : top_) e = static_cast<uint16_t>(value);
  }
  // Symbol and length (packed as symbol | length << 9) for the 16 bits at the top of peek.
  uint32_t Lookup(uint32_t peek16) const {
    uint32_t e = top_[peek16 >> kSubBits];
    if (e & 0x8000) e = sub_[(e & 0x7FFF) + (peek16 & ((1u << kSubBits) - 1))];
    return e;
  }

 private:
  uint16_t top_[1 << B];
  uint16_t sub_[MaxSymbols << kSubBits];
};

}  // namespace tovin
