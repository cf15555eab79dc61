// The records of a segment set: every segment file starts with "SSeg"; the logical stream
// holds "SHdr", then a "Scan" record per archive, then an "SArc" record and data per archive.
#pragma once
#include <cstdint>
#include <string>

namespace tovin {

inline constexpr int kSegIdSize = 8, kSetHeaderSize = 21, kScanHeaderSize = 17, kArcHeaderSize = 16;
inline constexpr int kMaxTemplateLength = 8191, kMaxLineLength = 8191;
// Record identifiers: four characters, no terminator on disk.
inline constexpr const char* kIdSegment = "SSeg";
inline constexpr const char* kIdSetHeader = "SHdr";
inline constexpr const char* kIdScan = "Scan";
inline constexpr const char* kIdArchive = "SArc";

// The highest segment number the 16-bit number in each segment's ID record can hold; a set
// ends there at the latest.
inline constexpr unsigned kMaxSegNumber = 65535;

// Segment sizes a set is written with: a 1.44 MB floppy by default, never below 16 KiB.
inline constexpr int32_t kDefaultSegSize = 1440000;
inline constexpr int32_t kMinSegSize = 16384;

struct TSegIdHeader {
  char Id[4] = {'S', 'S', 'e', 'g'};
  uint16_t SegNumber = 0;
};
struct TSegSetHeader {
  char Id[4] = {'S', 'H', 'd', 'r'};
  uint16_t ArcCount = 0;
};
struct TSegScanHeader {
  char Id[4] = {'S', 'c', 'a', 'n'};
  uint16_t TemplateLength = 0;
  uint8_t ScanTag = 0;
  int32_t LineLength = 0;
  int32_t ListSize = 0;
};
struct TSegArcHeader {
  char Id[4] = {'S', 'A', 'r', 'c'};
  uint16_t Sequence = 0;
  int32_t DataSize = 0;
};

TSegIdHeader ParseSegId(const uint8_t* b);
TSegSetHeader ParseSetHeader(const uint8_t* b);
TSegScanHeader ParseScanHeader(const uint8_t* b);
TSegArcHeader ParseArcHeader(const uint8_t* b);
// Bytes not interpreted by readers are written as zero.
std::string Serialize(const TSegIdHeader& h);
std::string Serialize(const TSegSetHeader& h);
std::string Serialize(const TSegScanHeader& h);
std::string Serialize(const TSegArcHeader& h);
bool HasId(const char* id, const char* expected);

// "SegDir\SegBaseName.ext": ext is SegExt, or the number padded to 3 digits.
std::string SegmentFileName(const std::string& baseName, const std::string& ext, unsigned number);

}  // namespace tovin
