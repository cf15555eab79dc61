#include "container/archive_format.h"

#include <cstring>

#include "codec/method_table.h"
#include "platform/byte_order.h"

namespace tovin {

TArchiveHeader ParseArchiveHeader(const uint8_t* b) {
  TArchiveHeader h;
  std::memcpy(h.Magic, b, 5);
  std::memcpy(h.MethodId, b + 5, 3);
  h.TotalSize = GetLE32(b + 8);
  h.ArchiveType = b[12];
  h.Reserved = GetLE32(b + 13);
  h.LockFlag = GetLE32(b + 17);
  return h;
}

std::string SerializeArchiveHeader(const TArchiveHeader& h) {
  std::string s(h.Magic, 5);
  s.append(h.MethodId, 3);
  AppendLE32(s, h.TotalSize);
  s += static_cast<char>(h.ArchiveType);
  AppendLE32(s, h.Reserved);
  AppendLE32(s, h.LockFlag);
  return s;
}

TMemberHeader ParseMemberHeader(const uint8_t* b) {
  TMemberHeader h;
  h.NameLength = static_cast<int16_t>(GetLE16(b));
  h.DateTime = GetLE32(b + 2);
  h.Attributes = GetLE16(b + 6);
  h.ExpandedSize = GetLE32(b + 8);
  h.StoredSize = GetLE32(b + 12);
  h.Method = b[16];
  h.Checksum = GetLE32(b + 17);
  h.LockFlag = GetLE32(b + 21);
  return h;
}

std::string SerializeMemberHeader(const TMemberHeader& h) {
  std::string s;
  AppendLE16(s, static_cast<uint16_t>(h.NameLength));
  AppendLE32(s, h.DateTime);
  AppendLE16(s, h.Attributes);
  AppendLE32(s, h.ExpandedSize);
  AppendLE32(s, h.StoredSize);
  s += static_cast<char>(h.Method);
  AppendLE32(s, h.Checksum);
  AppendLE32(s, h.LockFlag);
  return s;
}

const char* MethodIdOf(TPackMethod method) {
  const MethodInfo* m = FindMethod(method);
  return (m ? m : FindMethod(coNone))->Id;
}

const char* MethodName(uint8_t method) {
  const MethodInfo* m = FindMethod(method);
  return m ? m->CliName : kUnknownMethodName;
}

}  // namespace tovin
