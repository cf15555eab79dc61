// Writes compressed archive files: members from files or streams, each coded with the
// archive's method, or stored when that method cannot shrink it.
#pragma once
#include <cstdint>
#include <string>

#include "codec/codec_owner.h"
#include "container/archive_format.h"
#include "platform/stream.h"

namespace tovin {

class ArchiveWriter {
 public:
  // Writes the archive header at once; Finish() puts the total size into it. With a key
  // other than 0 the coded members are scrambled and locked (their checksum includes the key).
  ArchiveWriter(Stream& out, TPackMethod method, int32_t key = 0);

  // A file of the platform layer, with its date and attributes.
  void AddFile(const std::string& path, const std::string& memberName);
  void AddData(const std::string& data, const std::string& memberName, uint32_t dosDateTime, uint16_t attributes);
  void Finish();

  int32_t TotalSize() const { return static_cast<int32_t>(total_); }

 private:
  Stream& out_;
  TPackMethod method_;
  PlainCodecOwner owner_;
  int32_t key_;
  int64_t headerAt_;
  int64_t total_ = 0;
};

}  // namespace tovin
