// How the package fuzz target makes a segment set of its input, shared with the test that
// replays what it found: a flags byte (bit 0: test only; bit 1: a key; bit 2: expanded while
// copied, with members decoded ahead, as the package tool reads), the payload size of
// each segment file (16 bits, little-endian; 0 puts everything in one segment), then the set's
// bytes, whose members are cut to the fuzzing limits.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_limits.h"

namespace tovin::fuzz {

struct PackageInput {
  bool TestOnly = false;
  int32_t Key = 0;
  bool WhileCopying = false;
  std::vector<std::string> Segments;  // whole segment files, the first is number 1
};

inline constexpr size_t kMinSegmentPayload = 64;  // keeps the number of files of one input sane
inline constexpr unsigned kMaxSegments = 256;     // the last one takes the rest

// Empty Segments for an input too short to name its flags and segment size.
inline PackageInput ReadPackageInput(const uint8_t* data, size_t size) {
  PackageInput input;
  if (size < 3) return input;
  input.TestOnly = data[0] & 1;
  input.Key = data[0] & 2 ? 0x0BADF00D : 0;
  input.WhileCopying = data[0] & 4;
  size_t payload = static_cast<size_t>(data[1] | data[2] << 8);
  std::string set(reinterpret_cast<const char*>(data + 3), size - 3);
  CapMemberSizes(set);
  payload = payload == 0 ? std::max<size_t>(set.size(), 1) : std::max(payload, kMinSegmentPayload);
  for (size_t at = 0; at < set.size() || input.Segments.empty();) {
    unsigned n = static_cast<unsigned>(input.Segments.size() + 1);
    size_t take = n == kMaxSegments ? set.size() - at : std::min(payload, set.size() - at);
    std::string file("SSeg\0\0", 6);
    file += static_cast<char>(n & 0xFF);
    file += static_cast<char>(n >> 8);
    input.Segments.push_back(file + set.substr(at, take));
    at += take;
  }
  return input;
}

}  // namespace tovin::fuzz
