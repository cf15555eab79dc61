// The compressed archive file: a 21-byte archive header, then members of a 25-byte header,
// the name and the stored data. Little-endian, packed.
#pragma once
#include <cstdint>
#include <string>

#include "codec/pack_method.h"

namespace tovin {

inline constexpr int kArchiveHeaderSize = 21;
inline constexpr int kMemberHeaderSize = 25;
inline constexpr uint8_t caMulti = 1;

struct TArchiveHeader {
  char Magic[5] = {'V', 'L', 'X', 'C', 0x1A};
  char MethodId[3] = {'N', 'O', 'N'};
  int32_t TotalSize = 0;
  uint8_t ArchiveType = caMulti;
  int32_t Reserved = 0;
  int32_t LockFlag = 0;
};

struct TMemberHeader {
  int16_t NameLength = 0;
  int32_t DateTime = 0;
  uint16_t Attributes = 0;
  int32_t ExpandedSize = 0;
  int32_t StoredSize = 0;
  uint8_t Method = coNone;
  int32_t Checksum = 0;
  int32_t LockFlag = 0;
};

TArchiveHeader ParseArchiveHeader(const uint8_t* bytes);
std::string SerializeArchiveHeader(const TArchiveHeader& h);
TMemberHeader ParseMemberHeader(const uint8_t* bytes);
std::string SerializeMemberHeader(const TMemberHeader& h);

// "NON", "RLE", "LZH", "CUS", "LH5" by ordinal.
const char* MethodIdOf(TPackMethod method);
const char* MethodName(uint8_t method);  // "none", "rle", "lzh", "custom", "lh5" or "?"

}  // namespace tovin
