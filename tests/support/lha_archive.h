// Raw lh5 streams in and out of LHA archives, for the independent archivers used as oracles.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tovin::test {

uint16_t Crc16(const std::string& data);
// A one-member level-0 archive around a raw lh5 stream of original.
std::string WrapLh5(const std::string& raw, const std::string& original, const std::string& name = "data.bin");

struct LhaMember {
  std::string method;  // such as "-lh5-"
  std::string raw;     // compressed data
  uint32_t originalSize = 0;
};
// The first member of an archive with a level 0, 1 or 2 header.
std::optional<LhaMember> FirstMember(const std::string& archive);

// Host file helpers and a shell runner for the oracle tools.
std::string HostTempDir();
void WriteHostFile(const std::string& path, const std::string& bytes);
std::string ReadHostFile(const std::string& path);
bool HaveTool(const std::string& name);
int RunShell(const std::string& command);

}  // namespace tovin::test
