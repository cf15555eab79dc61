// TVellox: the compression container component. Reads archive headers, lists members and
// expands them to disk with the host's events deciding names, skips and stops.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "codec/codec_owner.h"
#include "container/archive_format.h"
#include "platform/stream.h"

namespace tovin {

class DecodeAhead;

using TCProcessMode = int;
inline constexpr TCProcessMode kProcessExpand = 1;  // the only mode this system raises
// Receives a member's target path; the handler may change it, empty it to skip the member, or
// set it to kCheckFileStop to stop expanding the archive.
using TFilenameCheckEvent = std::function<void(std::string& filepath, TCProcessMode mode)>;
inline constexpr const char* kCheckFileStop = "*";
using TExpandEvent = std::function<void(Stream& dest, Stream& source, int32_t Sourcesize, int32_t Destsize,
                                        const std::string& CompressID, int32_t& checksum)>;
using TCompressEvent = TExpandEvent;
using TRecognizeEvent = std::function<void(const std::string& CompressID, bool& recognized)>;

struct TPackedFileInfo {
  int32_t DateTime = 0;
  uint16_t Attributes = 0;
  int32_t ExpandedSize = 0;
  int32_t StoredSize = 0;
  uint8_t Method = coNone;
  int32_t Checksum = 0;
  int32_t HeaderOffset = 0;
  bool Locked = false;
};

struct TListedMember {
  std::string Name;  // exactly as stored
  TPackedFileInfo Info;
};

class TVellox : public CodecOwner {
 public:
  TVellox() = default;
  ~TVellox() override = default;

  // Published properties.
  TCompressEvent OnCompress;
  TExpandEvent OnExpand;
  TFilenameCheckEvent OnCheckFile;
  TRecognizeEvent OnRecognize;
  TShowProgressEvent ShowProgress;  // the OnShowProgress event
  const std::string& TargetPath() const { return targetPath_; }
  void SetTargetPath(const std::string& value);
  bool MakeDirectories = false;
  bool ExceptionOnFileError = false;
  int32_t KeyValue = 0;  // the Key property
  bool CheckSpaceBeforeExpand = false;
  // A member that fails once its file is created (damaged data, a bad checksum, an error of
  // the host's events) leaves no file: a file it replaced is gone too. Off, the partly
  // written file stays with its attributes set, as the setup expects. An addition for hosts
  // that must not leave damaged files looking complete.
  bool DeleteFailedFiles = false;
  // Expands into nothing: every member is decoded and verified, no file is created. An
  // addition for testing archives; the setup never sets it.
  bool TestOnly = false;
  // Threads that decode members ahead of the one that writes them; 1 expands every member on
  // the calling thread as the setup does. With more, progress is shown once per member and
  // coded members up to DecodeMemoryLimit (stored plus expanded bytes) are held in memory.
  // An addition for hosts that expand whole archives at speed; events still come in order.
  int DecodeThreads = 1;
  int64_t DecodeMemoryLimit = 64 << 20;
  // Raised for every member header read during an expansion, selected or not, before anything
  // else is done with it. An addition for hosts that show sizes; the setup does not use it.
  std::function<void(const TArchiveHeader& archive, const TMemberHeader& member, const std::string& name)>
      OnMemberHeader;

  // CodecOwner.
  int32_t Key() const override { return KeyValue; }
  const TShowProgressEvent& OnShowProgress() const override { return ShowProgress; }

  // Reads and validates the header at the stream's position (fewer than 21 bytes left: an
  // empty multi-file archive); methodId receives its 3-character identifier.
  TArchiveHeader ReadArchiveHeader(Stream& in, std::string& methodId);
  // False at the end of the members (a header or name cut short); otherwise leaves the stream
  // at the stored data. A negative expanded or stored size raises EInvalidMemberSize.
  bool ReadMemberHeader(Stream& in, TMemberHeader& header, std::string& name);
  TPackMethod LookupMethodId(const std::string& id);
  // Appends one entry per member; the list is not cleared first.
  void ListArchive(const std::string& fileName, std::vector<TListedMember>& list);

  // With a selection list only the members named in it are expanded; the list then holds the
  // full paths of the files written. Without one every member is expanded.
  void ExpandArchive(const std::string& fileName, std::vector<std::string>* selection = nullptr);
  void ExpandArchiveStream(Stream& in, std::vector<std::string>* selection = nullptr);
  // Writes at most expandedSize bytes to out: more raises ECorruptData.
  void ExpandMember(Stream& out, Stream& in, int32_t storedSize, int32_t expandedSize, int32_t storedChecksum,
                    uint8_t method, const std::string& methodId, int32_t lockFlag);
  // Free bytes for the file at target (its current size counts, as it is replaced, when the
  // free bytes alone are fewer than needed), on the volume of its nearest existing folder;
  // INT64_MAX when not checked or not known.
  int64_t FreeSpaceFor(const std::string& target, int64_t needed);
  static void ForceDirectoryPath(const std::string& folder);

 private:
  // ExpandMember with the key and progress event of owner.
  void ExpandMemberAs(const CodecOwner& owner, Stream& out, Stream& in, int32_t storedSize, int32_t expandedSize,
                      int32_t storedChecksum, uint8_t method, const std::string& methodId, int32_t lockFlag);
  std::unique_ptr<DecodeAhead> StartDecodeAhead(Stream& in, const std::unordered_set<std::string>* selected,
                                                const std::string& methodId);
  // ExpandMember into a file just created for the member.
  void ExpandMemberToFile(Stream& file, Stream& in, const TMemberHeader& h, const std::string& methodId);
  std::string targetPath_;
  // Within one archive the members mostly go to one folder: the folder last made for a member
  // and, for the last target folder asked about, the folder whose volume FreeSpaceFor asks,
  // so they are not looked up again for every member.
  std::string madeFolder_;
  std::string spaceTargetFolder_, spaceFolder_;
};

// The selection rule: letters a to z compare without case, every other byte exactly.
bool SameMemberName(const std::string& a, const std::string& b);
// Whether the reader comes to a member: it reads on while the running total of the sizes before
// it is below the header's TotalSize; an empty member adds nothing, so it is read even then
// (else empty files at the end would be lost).
inline bool MemberReached(int64_t runningTotal, int32_t totalSize, int32_t expandedSize) {
  return runningTotal < totalSize || expandedSize == 0;
}

}  // namespace tovin
