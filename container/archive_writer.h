// Writes compressed archive files: members from files or streams, each coded with the
// archive's method, or stored when that method cannot shrink it. Members stream through: the
// writer holds a codec's buffers, never a whole member, but it seeks back in its output to
// fill in each member header once the member is written.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "codec/codec_owner.h"
#include "container/archive_format.h"
#include "platform/stream.h"

namespace tovin {

// A file of the platform layer opened for packing, with what its member header takes from it.
struct MemberFile {
  std::string Path;
  std::unique_ptr<FileStream> In;
  int64_t Size = 0;
  uint32_t DosDateTime = 0;
  uint16_t Attributes = 0;

  // Raises EGeneralError when the file no longer has the size it had when it was opened.
  void CheckUnchanged();
};

// Raises as the file cannot be opened, or EGeneralError when it is too large for a member.
MemberFile OpenMemberFile(const std::string& path);

// How a member's data came out: the method it is stored with, the bytes stored and the sum of
// its plain bytes (without the key).
struct MemberData {
  TPackMethod Method = coNone;
  int64_t StoredSize = 0;
  uint32_t Sum = 0;
};

class ArchiveWriter {
 public:
  // Receives the bytes of the current member read so far and the member's size.
  using Progress = std::function<void(int64_t done, int64_t size)>;

  // Codes size bytes of in into out from out's position on; a member the method cannot shrink
  // is stored instead, its bytes written over the coded ones. Touches nothing but its
  // arguments, so that members can be coded on several threads at once and added in order
  // with AddCoded. A progress handler may end the work by raising.
  static MemberData Code(Stream& in, int64_t size, Stream& out, TPackMethod method, int32_t key,
                         const std::string& memberName, const Progress& progress);
  // Raises EGeneralError for a name or size no member can have.
  static void CheckMember(const std::string& memberName, int64_t size);

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
  // A member coded ahead with Code, with this writer's method and key: its StoredSize stored
  // bytes are read from data, from where it stands. The archive comes out as AddStream makes it.
  void AddCoded(const MemberData& coded, Stream& data, int64_t size, const std::string& memberName,
                uint32_t dosDateTime, uint16_t attributes);
  void Finish();

  int32_t TotalSize() const { return static_cast<int32_t>(total_); }

 private:
  TMemberHeader BeginMember(int64_t size, const std::string& memberName, uint32_t dosDateTime, uint16_t attributes);
  void EndMember(TMemberHeader& h, const MemberData& data, int64_t headerAt);

  Stream& out_;
  TPackMethod method_;
  int32_t key_;
  Progress progress_;
  int64_t headerAt_;
  int64_t total_ = 0;
};

}  // namespace tovin
