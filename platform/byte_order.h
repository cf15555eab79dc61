// Little-endian fields of the on-disk records.
#pragma once
#include <cstdint>
#include <string>

namespace tovin {

inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline int32_t GetLE32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(GetLE16(p)) | static_cast<uint32_t>(GetLE16(p + 2)) << 16);
}
inline void AppendLE16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
inline void AppendLE32(std::string& s, int32_t v) {
  AppendLE16(s, static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF));
  AppendLE16(s, static_cast<uint16_t>(static_cast<uint32_t>(v) >> 16));
}
inline void PutLE16(std::string& s, size_t at, uint16_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}
inline void PutLE32(std::string& s, size_t at, int32_t v) {
  PutLE16(s, at, static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF));
  PutLE16(s, at + 2, static_cast<uint16_t>(static_cast<uint32_t>(v) >> 16));
}

}  // namespace tovin
