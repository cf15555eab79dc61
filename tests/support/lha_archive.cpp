#include "tests/support/lha_archive.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tovin::test {
namespace {

void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
}
uint32_t Get16(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8;
}
uint32_t Get32(const std::string& s, size_t at) { return Get16(s, at) | Get16(s, at + 2) << 16; }

}  // namespace

uint16_t Crc16(const std::string& data) {
  uint16_t crc = 0;
  for (unsigned char c : data) {
    crc ^= c;
    for (int i = 0; i < 8; ++i) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
  }
  return crc;
}

std::string WrapLh5(const std::string& raw, const std::string& original, const std::string& name) {
  std::string h = "-lh5-";
  Put32(h, static_cast<uint32_t>(raw.size()));
  Put32(h, static_cast<uint32_t>(original.size()));
  Put32(h, 0x2A4320A3u);  // 2001-02-03 04:05:06
  h += '\x20';
  h += '\0';  // level 0
  h += static_cast<char>(name.size());
  h += name;
  uint16_t crc = Crc16(original);
  h += static_cast<char>(crc & 0xFF);
  h += static_cast<char>(crc >> 8);
  uint8_t sum = 0;
  for (unsigned char c : h) sum = static_cast<uint8_t>(sum + c);
  std::string out;
  out += static_cast<char>(h.size());
  out += static_cast<char>(sum);
  return out + h + raw + std::string(1, '\0');
}

std::optional<LhaMember> FirstMember(const std::string& a) {
  if (a.size() < 24) return std::nullopt;
  LhaMember m;
  m.method = a.substr(2, 5);
  uint32_t packed = Get32(a, 7);
  m.originalSize = Get32(a, 11);
  int level = static_cast<uint8_t>(a[20]);
  size_t data;
  if (level == 0) {
    data = 2 + static_cast<uint8_t>(a[0]);
  } else if (level == 1) {
    data = 2 + static_cast<uint8_t>(a[0]);
    for (uint32_t next = Get16(a, data - 2); next != 0; next = Get16(a, data - 2)) {
      data += next;
      packed -= next;
      if (data > a.size()) return std::nullopt;
    }
  } else if (level == 2) {
    data = Get16(a, 0);
  } else {
    return std::nullopt;
  }
  if (data + packed > a.size()) return std::nullopt;
  m.raw = a.substr(data, packed);
  return m;
}

std::string HostTempDir() {
  char tmpl[] = "/tmp/tovin-oracle-XXXXXX";
  const char* made = mkdtemp(tmpl);
  return made ? made : "/tmp";
}

void WriteHostFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadHostFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

bool HaveTool(const std::string& name) { return RunShell("command -v " + name + " >/dev/null 2>&1") == 0; }

int RunShell(const std::string& command) {
  int rc = std::system(command.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

}  // namespace tovin::test
