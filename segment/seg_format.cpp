#include "segment/seg_format.h"

#include <cstdio>
#include <cstring>

#include "platform/byte_order.h"

namespace tovin {
namespace {

std::string Record(const char* id, size_t size) {
  std::string s(size, '\0');
  std::memcpy(s.data(), id, 4);
  return s;
}

}  // namespace

bool HasId(const char* id, const char* expected) { return std::memcmp(id, expected, 4) == 0; }

TSegIdHeader ParseSegId(const uint8_t* b) {
  TSegIdHeader h;
  std::memcpy(h.Id, b, 4);
  h.SegNumber = GetLE16(b + 6);
  return h;
}
TSegSetHeader ParseSetHeader(const uint8_t* b) {
  TSegSetHeader h;
  std::memcpy(h.Id, b, 4);
  h.ArcCount = GetLE16(b + 6);
  return h;
}
TSegScanHeader ParseScanHeader(const uint8_t* b) {
  TSegScanHeader h;
  std::memcpy(h.Id, b, 4);
  h.TemplateLength = GetLE16(b + 6);
  h.ScanTag = b[8];
  h.LineLength = GetLE32(b + 9);
  h.ListSize = GetLE32(b + 13);
  return h;
}
TSegArcHeader ParseArcHeader(const uint8_t* b) {
  TSegArcHeader h;
  std::memcpy(h.Id, b, 4);
  h.Sequence = GetLE16(b + 6);
  h.DataSize = GetLE32(b + 12);
  return h;
}

std::string Serialize(const TSegIdHeader& h) {
  std::string s = Record(h.Id, kSegIdSize);
  PutLE16(s, 6, h.SegNumber);
  return s;
}
std::string Serialize(const TSegSetHeader& h) {
  std::string s = Record(h.Id, kSetHeaderSize);
  PutLE16(s, 6, h.ArcCount);
  return s;
}
std::string Serialize(const TSegScanHeader& h) {
  std::string s = Record(h.Id, kScanHeaderSize);
  PutLE16(s, 6, h.TemplateLength);
  s[8] = static_cast<char>(h.ScanTag);
  PutLE32(s, 9, h.LineLength);
  PutLE32(s, 13, h.ListSize);
  return s;
}
std::string Serialize(const TSegArcHeader& h) {
  std::string s = Record(h.Id, kArcHeaderSize);
  PutLE16(s, 6, h.Sequence);
  PutLE32(s, 12, h.DataSize);
  return s;
}

std::string SegmentFileName(const std::string& baseName, const std::string& ext, unsigned number) {
  if (!ext.empty()) return baseName + "." + ext;
  char digits[16];
  std::snprintf(digits, sizeof digits, "%03u", number);
  return baseName + "." + digits;
}

}  // namespace tovin
