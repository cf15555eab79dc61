#include "segment/seg_format.h"

#include <cstdio>
#include <cstring>

namespace tovin {
namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
int32_t Get32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(Get16(p)) | static_cast<uint32_t>(Get16(p + 2)) << 16);
}
void Put16(std::string& s, size_t at, uint16_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& s, size_t at, int32_t v) {
  Put16(s, at, static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF));
  Put16(s, at + 2, static_cast<uint16_t>(static_cast<uint32_t>(v) >> 16));
}
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
  h.SegNumber = Get16(b + 6);
  return h;
}
TSegSetHeader ParseSetHeader(const uint8_t* b) {
  TSegSetHeader h;
  std::memcpy(h.Id, b, 4);
  h.ArcCount = Get16(b + 6);
  return h;
}
TSegScanHeader ParseScanHeader(const uint8_t* b) {
  TSegScanHeader h;
  std::memcpy(h.Id, b, 4);
  h.TemplateLength = Get16(b + 6);
  h.ScanTag = b[8];
  h.LineLength = Get32(b + 9);
  h.ListSize = Get32(b + 13);
  return h;
}
TSegArcHeader ParseArcHeader(const uint8_t* b) {
  TSegArcHeader h;
  std::memcpy(h.Id, b, 4);
  h.Sequence = Get16(b + 6);
  h.DataSize = Get32(b + 12);
  return h;
}

std::string Serialize(const TSegIdHeader& h) {
  std::string s = Record(h.Id, kSegIdSize);
  Put16(s, 6, h.SegNumber);
  return s;
}
std::string Serialize(const TSegSetHeader& h) {
  std::string s = Record(h.Id, kSetHeaderSize);
  Put16(s, 6, h.ArcCount);
  return s;
}
std::string Serialize(const TSegScanHeader& h) {
  std::string s = Record(h.Id, kScanHeaderSize);
  Put16(s, 6, h.TemplateLength);
  s[8] = static_cast<char>(h.ScanTag);
  Put32(s, 9, h.LineLength);
  Put32(s, 13, h.ListSize);
  return s;
}
std::string Serialize(const TSegArcHeader& h) {
  std::string s = Record(h.Id, kArcHeaderSize);
  Put16(s, 6, h.Sequence);
  Put32(s, 12, h.DataSize);
  return s;
}

std::string SegmentFileName(const std::string& baseName, const std::string& ext, unsigned number) {
  if (!ext.empty()) return baseName + "." + ext;
  char digits[16];
  std::snprintf(digits, sizeof digits, "%03u", number);
  return baseName + "." + digits;
}

}  // namespace tovin
