// Inputs whose members ask for more than 64 KiB are left out: decoding them
// is well defined but takes long, and would spend the fuzzing time on one input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tovin::fuzz {

inline bool AsksForLargeMembers(const uint8_t* data, size_t size) {
  const size_t kLimit = 1 << 16;
  for (size_t at = 0; at + 5 <= size; ++at) {
    if (std::memcmp(data + at, "VLXC\x1A", 5) != 0) continue;
    for (size_t m = at + 21; m + 25 <= size;) {
      auto u32 = [&](size_t o) {
        return static_cast<uint32_t>(data[o] | data[o + 1] << 8 | data[o + 2] << 16 | static_cast<uint32_t>(data[o + 3]) << 24);
      };
      uint32_t expanded = u32(m + 8), stored = u32(m + 12);
      if (expanded > kLimit) return true;
      size_t name = static_cast<size_t>(data[m] | data[m + 1] << 8);
      if (stored > size) break;
      m += 25 + name + stored;
    }
  }
  return false;
}

}  // namespace tovin::fuzz
