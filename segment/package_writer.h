// Writes a package folder: the segment set of a package's archives, streamed file by file, and
// what a package folder holds besides it.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "codec/pack_method.h"
#include "segment/package_layout.h"
#include "segment/seg_format.h"

namespace tovin {

struct PackageOptions {
  std::string OutDir;  // folder of the platform layer; it must exist
  int32_t SegSize = kDefaultSegSize;
  TPackMethod Method = coLZH5;
  int32_t Key = 0;
  // Threads that code members; 1 codes them one after the other on the calling thread. The
  // package is the same byte for byte either way.
  int Threads = 1;
  // With several threads: coded bytes a member may hold in memory while it waits for the
  // writer; a larger member is coded into a spill file in OutDir, deleted again at the end.
  int64_t MemberMemoryLimit = 1 << 20;
  // A member's date is its file's, but no later than this (a DOS date-time): with a fixed one
  // the package is the same byte for byte whatever dates a checkout gave the files.
  std::optional<uint32_t> LatestDosDateTime;
  // The member being packed and the bytes of all files read so far.
  std::function<void(const std::string& member, uint64_t done)> Progress;
};

struct PackageResult {
  std::vector<std::string> Segments;
  uint64_t Bytes = 0;
  size_t Files = 0;
};

// Writes the set; on failure the segment files written so far are deleted and the error passes.
// Progress is reported on the calling thread, in member order.
PackageResult WritePackage(const std::vector<PackageArchive>& archives, const PackageOptions& options);

// The files of a package in dir: its segment files from tovinsetup.001 on, as long as they run
// without a gap, the spill files of an interrupted pack, and install.cfg and install.exe when
// present. Names as found.
std::vector<std::string> PackageFilesIn(const std::string& dir);

}  // namespace tovin
