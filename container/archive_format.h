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
inline constexpr char kArchiveMagic[5] = {'V', 'L', 'X', 'C', 0x1A};

// The lock value of a member header. A reader takes every value above kLockOpen as locked and
// unscrambles kLockScrambled members with its key. The one rule a writer follows: a key other
// than 0 locks every member, coded members are then scrambled (kLockScrambled) and stored
// members are locked by their checksum only (kLockChecksum); without a key every member is
// kLockOpen. The archive header carries kLockScrambled when the key is greater than 0, else
// kLockOpen; readers do not interpret it.
inline constexpr int32_t kLockOpen = 0, kLockChecksum = 1, kLockScrambled = 2;

struct TArchiveHeader {
  char Magic[5] = {kArchiveMagic[0], kArchiveMagic[1], kArchiveMagic[2], kArchiveMagic[3], kArchiveMagic[4]};
  char MethodId[3] = {'N', 'O', 'N'};
  int32_t TotalSize = 0;
  uint8_t ArchiveType = caMulti;
  int32_t Reserved = 0;
  int32_t LockFlag = kLockOpen;
};

struct TMemberHeader {
  int16_t NameLength = 0;
  int32_t DateTime = 0;
  uint16_t Attributes = 0;
  int32_t ExpandedSize = 0;
  int32_t StoredSize = 0;
  uint8_t Method = coNone;
  int32_t Checksum = 0;
  int32_t LockFlag = kLockOpen;
};

TArchiveHeader ParseArchiveHeader(const uint8_t* bytes);
std::string SerializeArchiveHeader(const TArchiveHeader& h);
TMemberHeader ParseMemberHeader(const uint8_t* bytes);
std::string SerializeMemberHeader(const TMemberHeader& h);

// The header identifier of a method ("NON", "RLE", "LZH", "CUS", "LH5"); "NON" for an
// unknown ordinal. Both read the method table.
const char* MethodIdOf(TPackMethod method);
inline constexpr const char* kUnknownMethodName = "?";
// The command-line name ("none", "rle", "lzh", "custom", "lh5"), or kUnknownMethodName.
const char* MethodName(uint8_t method);

}  // namespace tovin
