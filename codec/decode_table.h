// Direct lookup table for a canonical prefix code of at most 16 bits: the top B bits index
// the table; codes longer than B continue in a second-level table of the remaining bits.
// Each entry carries what the decoder needs next to the code length (the payload), so one
// load answers both.
#pragma once
#include <cstdint>
#include <cstring>

namespace tovin {

template <int B, int MaxSymbols>
class DecodeTable {
 public:
  static constexpr int kSubBits = 16 - B;
  // Entry: code length in bits 0..4; bit 5 marks a second-level index held in bits 16..31
  // (its length field is 0, and the index is never 0); bits 8..31 of any other entry are the
  // symbol's payload.
  static constexpr uint32_t kSecondLevel = 0x20;
  static uint32_t Length(uint32_t entry) { return entry & 31; }

  // payload(symbol) gives the payload with bits 0..7 clear. Returns false when the lengths
  // are not a complete prefix code.
  template <class Payload>
  bool Build(const uint8_t* lengths, int n, Payload payload) {
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
    uint32_t subUsed = 1u << kSubBits;  // the first block stays unused: no index is 0
    for (int sym = 0; sym < n; ++sym) {
      uint32_t len = lengths[sym];
      if (len == 0) continue;
      uint32_t c = next[len];
      next[len] += 1u << (16 - len);
      uint32_t entry = payload(sym) | len;
      if (len <= B) {
        uint32_t first = c >> (16 - B);
        for (uint32_t i = 0; i < (1u << (B - len)); ++i) top_[first + i] = entry;
      } else {
        uint32_t& slot = top_[c >> (16 - B)];
        if (!(slot & kSecondLevel)) {
          slot = kSecondLevel | subUsed << 16;
          subUsed += 1u << kSubBits;
        }
        uint32_t* sub = sub_ + (slot >> 16);
        uint32_t first = c & ((1u << kSubBits) - 1);
        for (uint32_t i = 0; i < (1u << (16 - len)); ++i) sub[first + i] = entry;
      }
    }
    return true;
  }
  // Every code decodes to this payload and uses no bits.
  void Single(uint32_t payload) {
    for (auto& e : top_) e = payload;
  }
  // The entry for the code at the top of bits.
  uint32_t Lookup(uint64_t bits) const {
    uint32_t e = Top(bits);
    if (__builtin_expect(e & kSecondLevel, 0)) e = Second(e, bits);
    return e;
  }
  // The first-level entry alone, and the second-level entry it leads to.
  uint32_t Top(uint64_t bits) const { return top_[bits >> (64 - B)]; }
  uint32_t Second(uint32_t top, uint64_t bits) const {
    return sub_[(top >> 16) + (static_cast<uint32_t>(bits >> 48) & ((1u << kSubBits) - 1))];
  }

 private:
  uint32_t top_[1 << B];
  uint32_t sub_[(MaxSymbols + 1) << kSubBits];
};

}  // namespace tovin
