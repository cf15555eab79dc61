// What the author's tool says about an install.cfg that the setup reads without a word: the
// defaults it falls back to, the lines it never reads, the entries it can never install.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tovin {

// What a package folder holds, as far as install.cfg refers to it.
struct PackageContents {
  std::vector<std::string> Files;  // member names as the archives list them, folders included
  int32_t SegmentFiles = 0;        // segment files present: tovinsetup.001, .002, ...
  // The bytes of a member, when the caller can read them (pack reads its sources); nullopt
  // when it cannot. Lets the checks look into the picture and the licence.
  std::function<std::optional<std::string>(const std::string& member)> Read;
};

struct TConfigWarning {
  size_t Line = 0;  // 1-based line of install.cfg it concerns; 0 for the file as a whole
  std::string Text;
  bool operator==(const TConfigWarning&) const = default;
};
// "install.cfg:8: text", or "install.cfg: text" without a line.
std::string FormatConfigWarning(const TConfigWarning& warning);

// One warning per finding about startDir + "install.cfg" (startDir a folder of the
// platform layer, with or without its trailing backslash), each saying what the setup does
// instead. With a package, the files the configuration names are looked for in it. The
// setup's own reading is not changed by any of this; this never fails.
std::vector<TConfigWarning> CheckInstallConfig(const std::string& startDir, const PackageContents* package);
// The same for the configuration file at path, whatever its name (what pack ships as install.cfg).
std::vector<TConfigWarning> CheckInstallConfigFile(const std::string& path, const PackageContents* package);

}  // namespace tovin
