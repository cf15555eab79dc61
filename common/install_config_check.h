// What the author's tool says about an install.cfg that the setup reads without a word: the
// defaults it falls back to, the lines it never reads, the entries it can never install.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tovin {

// What a package folder holds, as far as install.cfg refers to it.
struct PackageContents {
  std::vector<std::string> Files;  // member names as the archives list them, folders included
  int32_t SegmentFiles = 0;        // segment files present: tovinsetup.001, .002, ...
};

// One warning line per finding about startDir + "install.cfg" (startDir a folder of the
// platform layer, with or without its trailing backslash), each saying what the setup does
// instead. With a package, the files the configuration names are looked for in it. The
// setup's own reading is not changed by any of this; this never fails.
std::vector<std::string> CheckInstallConfig(const std::string& startDir, const PackageContents* package);

}  // namespace tovin
