#include "container/archive_format.h"

#include <cstring>

namespace tovin {
namespace {

int32_t Get32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void Put32(std::string& s, int32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
}
void Put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}

}  // namespace

TArchiveHeader ParseArchiveHeader(const uint8_t* b) {
  TArchiveHeader h;
  std::memcpy(h.Magic, b, 5);
  std::memcpy(h.MethodId, b + 5, 3);
  h.TotalSize = Get32(b + 8);
  h.ArchiveType = b[12];
  h.Reserved = Get32(b + 13);
  h.LockFlag = Get32(b + 17);
  return h;
}

std::string SerializeArchiveHeader(const TArchiveHeader& h) {
  std::string s(h.Magic, 5);
  s.append(h.MethodId, 3);
  Put32(s, h.TotalSize);
  s += static_cast<char>(h.ArchiveType);
  Put32(s, h.Reserved);
  Put32(s, h.LockFlag);
  return s;
}

TMemberHeader ParseMemberHeader(const uint8_t* b) {
  TMemberHeader h;
  h.NameLength = static_cast<int16_t>(Get16(b));
  h.DateTime = Get32(b + 2);
  h.Attributes = Get16(b + 6);
  h.ExpandedSize = Get32(b + 8);
  h.StoredSize = Get32(b + 12);
  h.Method = b[16];
  h.Checksum = Get32(b + 17);
  h.LockFlag = Get32(b + 21);
  return h;
}

std::string SerializeMemberHeader(const TMemberHeader& h) {
  std::string s;
  Put16(s, static_cast<uint16_t>(h.NameLength));
  Put32(s, h.DateTime);
  Put16(s, h.Attributes);
  Put32(s, h.ExpandedSize);
  Put32(s, h.StoredSize);
  s += static_cast<char>(h.Method);
  Put32(s, h.Checksum);
  Put32(s, h.LockFlag);
  return s;
}

const char* MethodIdOf(TPackMethod method) {
  static const char* ids[] = {"NON", "RLE", "LZH", "CUS", "LH5"};
  return method <= coLZH5 ? ids[method] : "NON";
}

const char* MethodName(uint8_t method) {
  static const char* names[] = {"none", "rle", "lzh", "custom", "lh5"};
  return method <= coLZH5 ? names[method] : "?";
}

}  // namespace tovin
