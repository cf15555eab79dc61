// Archives built in memory for the container's tests, and the fields of their member headers
// that the tests damage.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "container/archive_format.h"
#include "container/archive_writer.h"
#include "platform/platform.h"

namespace tovin::test {

// Offsets within a member header.
inline constexpr size_t kStoredSizeAt = 12, kMethodAt = 16, kChecksumAt = 17;
// Offset within the archive header.
inline constexpr size_t kTotalSizeAt = 8;

using NamedData = std::vector<std::pair<std::string, std::string>>;

inline std::string ArchiveOf(TPackMethod method, const NamedData& members, int32_t key = 0,
                             uint16_t attributes = plat::kAttrArchive) {
  MemoryStream out;
  ArchiveWriter w(out, method, key);
  for (const auto& [name, data] : members) w.AddData(data, name, 0x2A4320A3u, attributes);
  w.Finish();
  return out.Data();
}

// Offset of the header of the member with this name (its first appearance).
inline size_t HeaderOf(const std::string& archive, const std::string& name) {
  size_t at = archive.find(name);
  EXPECT_NE(at, std::string::npos) << name;
  return at - kMemberHeaderSize;
}
// Offset of that member's stored data.
inline size_t DataOf(const std::string& archive, const std::string& name) {
  return HeaderOf(archive, name) + kMemberHeaderSize + name.size();
}

inline uint32_t U32(const std::string& a, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(a[at + i]);
  return v;
}
inline void PutU32(std::string& a, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) a[at + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace tovin::test
