// Fuzzing time is spent on structure, not on producing bytes: members asking for more than
// 64 KiB are either left out (the reading targets) or cut to that size (the writing targets).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace tovin::fuzz {

inline constexpr uint32_t kMemberLimit = 1 << 16;
// What one input may ask to be written in all; members past it are cut off the input.
inline constexpr uint64_t kInputLimit = 4u << 20;

// Calls visit(offset of the member header) for every member header that follows an archive
// header, walking the stored sizes; visit returns false to end the walk.
template <typename Visit>
void ForEachMember(const uint8_t* data, size_t size, Visit visit) {
  auto u32 = [&](size_t o) {
    return static_cast<uint32_t>(data[o] | data[o + 1] << 8 | data[o + 2] << 16 |
                                 static_cast<uint32_t>(data[o + 3]) << 24);
  };
  for (size_t at = 0; at + 5 <= size; ++at) {
    if (std::memcmp(data + at, "VLXC\x1A", 5) != 0) continue;
    for (size_t m = at + 21; m + 25 <= size;) {
      if (!visit(m)) return;
      uint32_t stored = u32(m + 12);
      size_t name = static_cast<size_t>(data[m] | data[m + 1] << 8);
      if (stored > size) break;
      m += 25 + name + stored;
    }
  }
}

inline int32_t ExpandedSizeAt(const uint8_t* data, size_t m) {
  return static_cast<int32_t>(static_cast<uint32_t>(data[m + 8] | data[m + 9] << 8 | data[m + 10] << 16 |
                                                    static_cast<uint32_t>(data[m + 11]) << 24));
}

inline bool AsksForLargeMembers(const uint8_t* data, size_t size) {
  bool large = false;
  ForEachMember(data, size, [&](size_t m) {
    large = large || static_cast<uint32_t>(ExpandedSizeAt(data, m)) > kMemberLimit;
    return !large;
  });
  return large;
}

// Caps every member's expanded size at kMemberLimit (a negative one stays, it is damage the
// readers must report) and cuts the input where the members ask for more than kInputLimit.
inline void CapMemberSizes(std::string& bytes) {
  auto* data = reinterpret_cast<uint8_t*>(bytes.data());
  uint64_t total = 0;
  size_t cut = bytes.size();
  ForEachMember(data, bytes.size(), [&](size_t m) {
    int32_t expanded = ExpandedSizeAt(data, m);
    if (expanded > static_cast<int32_t>(kMemberLimit)) {
      expanded = static_cast<int32_t>(kMemberLimit);
      for (int i = 0; i < 4; ++i) data[m + 8 + i] = static_cast<uint8_t>(kMemberLimit >> (8 * i));
    }
    if (expanded > 0) total += static_cast<uint64_t>(expanded);
    if (total <= kInputLimit) return true;
    cut = m;
    return false;
  });
  bytes.resize(cut);
}

}  // namespace tovin::fuzz
