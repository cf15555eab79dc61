// Writes compressed archive files: members from files or streams, each coded with the
// archive's method, or stored when that method cannot shrink it. Members stream through: the
// writer holds a codec's buffers, never a whole member, but it seeks back in its output to
// fill in each member header once the member is written.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "codec/codec_owner.h"
#include "container/archive_format.h"
#include "platform/stream.h"

namespace tovin {

class ArchiveWriter {
 public:
  // Receives the bytes of the current member read so far and the member's size.
  using Progress = std::function<void(int64_t done, int64_t size)>;

  // Writes the archive header at once; Finish() puts the total size into it. With a key
  // other than 0 the coded members are scrambled and locked (their checksum includes the key).
  ArchiveWriter(Stream& out, TPackMethod method, int32_t key = 0, Progress progress = {});

  // A file of the platform layer, with its date and attributes. Raises EGeneralError when the
  // file changes size while it is read.
  void AddFile(const std::string& path, const std::string& memberName);
  void AddData(const std::string& data, const std::string& memberName, uint32_t dosDateTime, uint16_t attributes);
  // size bytes from in, which must be seekable back to where it stands now.
  void AddStream(Stream& in, int64_t size, const std::string& memberName, uint32_t dosDateTime,
                 uint16_t attributes);
  void Finish();

  int32_t TotalSize() const { return static_cast<int32_t>(total_); }

 private:
  Stream& out_;
  TPackMethod method_;
  int32_t key_;
  Progress progress_;
  int64_t headerAt_;
  int64_t total_ = 0;
};

}  // namespace tovin
