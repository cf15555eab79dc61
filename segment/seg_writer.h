// Writes a segment set: the logical stream of records and archives cut into numbered segment
// files of at most SegSize bytes, each starting with its "SSeg" record.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "codec/pack_method.h"
#include "platform/stream.h"
#include "segment/seg_format.h"

namespace tovin {

struct SegArchiveSource {
  std::string Template;             // its folder part is where the members go
  std::string Archive;              // a compressed archive file, whole (not used by SegmentSetWriter)
  std::vector<std::string> Files;   // the member names the file list selects
  uint8_t ScanTag = 0;
};

struct SegSetOptions {
  std::string SegDir;               // folder of the platform layer
  std::string SegBaseName = "tovinsetup";
  std::string SegExt;               // empty: numbered 001, 002, ...
  int32_t SegSize = kDefaultSegSize;     // bytes per segment file, its 8-byte record included (at least 9)
  TPackMethod ListMethod = coLZH5;  // method of the file-list archives
  int32_t Key = 0;
};

// Streams a set to its segment files: Begin writes the set header and every archive's Scan
// record with its file list; then each archive's data is written through the stream that
// BeginArchive returns, in archive order. The stream may seek back over what its archive has
// written so far (to fill in headers); positions are counted from the archive's first byte.
class SegmentSetWriter {
 public:
  explicit SegmentSetWriter(const SegSetOptions& options);
  ~SegmentSetWriter();
  void Begin(const std::vector<SegArchiveSource>& archives);
  Stream& BeginArchive();
  void EndArchive();
  // Returns the paths of the segment files written, first to last.
  std::vector<std::string> Finish();
  // Deletes every segment file written so far (after a failure).
  void Discard();

 private:
  class Sink;
  class ArchiveStream;
  SegSetOptions options_;
  std::unique_ptr<Sink> sink_;
  std::unique_ptr<ArchiveStream> archive_;
  size_t archiveCount_ = 0, next_ = 0;
  int64_t recordAt_ = 0;
};

// Returns the paths of the segment files written, first to last.
std::vector<std::string> WriteSegmentSet(const std::vector<SegArchiveSource>& archives, const SegSetOptions& options);

// The logical stream of a set, whole: the records and archives before they are cut.
std::string LogicalStream(const std::vector<SegArchiveSource>& archives, const SegSetOptions& options);

}  // namespace tovin
