// TSegVellox: reads a segment set, mounting its segment files one after the other, and
// expands every archive it carries with the container.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "container/vellox.h"
#include "platform/exception.h"
#include "segment/seg_dialogs.h"
#include "segment/seg_errors.h"
#include "segment/seg_format.h"

namespace tovin {

struct TSegArc {
  std::string Template;
  std::string Path;  // folder part of Template
  uint16_t Sequence = 0;
  uint8_t ScanTag = 0;
  std::vector<std::string> Files;  // each name once, blank lines left out
  // Names the file list gives, repeats included: checked against the room of the archive.
  size_t ListedNames = 0;
  // Lines holding more text after a zero byte, whole (the first few): only the part before
  // it is in Files.
  std::vector<std::string> CutNames;
};
// Owns its entries.
using TSegArcList = std::vector<std::unique_ptr<TSegArc>>;

// Property defaults: the first segment is a:\SegData.001.
inline constexpr const char* kDefaultSegBaseName = "SegData";
inline constexpr const char* kDefaultSegDir = "a:\\";
// Extension of the work file that receives each compressed archive before it is expanded.
inline constexpr const char* kWorkFileExt = ".$A$";

using TSegMode = int;
using TSegBeforeEvent = std::function<void(TSegMode SegMode, const std::string& SegName, uint16_t SegNumber)>;
using TSegAfterEvent = TSegBeforeEvent;
using TSegBeforeExpandEvent = std::function<void(TSegArcList& SegArcList)>;
using TSegAfterArchiveEvent = std::function<void(TSegArcHeader& SegArcHdr, const std::string& Template)>;
using TSegShowProgressEvent = std::function<void(int32_t PercentageDone)>;

class TSegVellox : public TVellox {
 public:
  // Records and data move through one work buffer of this size.
  static constexpr int32_t kWorkSize = 8192;

  TSegVellox();
  ~TSegVellox() override;

  const std::string& SegBaseName() const { return segBaseName_; }
  void SetSegBaseName(const std::string& value);
  const std::string& SegDir() const { return segDir_; }
  void SetSegDir(const std::string& value);
  const std::string& SegExt() const { return segExt_; }
  void SetSegExt(const std::string& value);
  bool SegPopUp = true;
  int32_t SegSize() const { return segSize_; }
  void SetSegSize(int32_t value);
  std::string SegTmpDir() const;
  void SetSegTmpDir(const std::string& value);

  TSegBeforeEvent OnSegBefore;
  TSegAfterEvent OnSegAfter;
  TSegBeforeExpandEvent OnSegBeforeExpand;
  TSegAfterArchiveEvent OnSegAfterArchive;
  TSegShowProgressEvent OnSegShowProgress;

  // Expands each archive while its work file is still being copied, reading ahead only as far
  // as the expansion needs, so that members are decoded from the first chunks on rather than
  // after the whole copy. The work file is still filled whole and removed as before; the
  // segment events and the copy's progress then come between the member events, and members
  // before a damaged or missing segment are expanded before its error is raised.
  bool ExpandWhileCopying = false;

  // Message boxes, input dialogs and the message pump; without one every question is
  // answered Cancel.
  TSegDialogs* Dialogs = nullptr;

  // Run state, for the host to read.
  uint16_t SegNumber() const { return segNumber_; }  // segment being opened or read; 0 before a run
  const std::string& SegmentName() const { return segmentName_; }  // its file name, no folder
  const std::string& SegmentPath() const { return segmentPath_; }
  int32_t Remaining() const { return remaining_; }  // bytes of the open segment not yet read
  bool AbortRequested() const { return abortRequested_; }
  TSegMode SegMode() const { return segMode_; }  // 1 from the first run on

  // The one piece of run state a host sets: asks the running expansion to stop. The run ends
  // with ESegError "(TSegVellox) Operation aborted by user" at its next check, which follows
  // OnSegBefore, OnSegAfter, OnSegBeforeExpand and OnSegAfterArchive; a call from any other
  // event or from a message processed during the run waits for the next of those. A request
  // made before ExpandSegments starts is cleared by it.
  void RequestAbort() { abortRequested_ = true; }

  void ExpandSegments(TSegArcList& list);
  void OpenSegment(uint16_t n);
  void ReadSegmentData(void* buffer, int32_t count);
  std::string WorkFileName() const;

 protected:
  void FormNames();
  void BeforeSegment();
  void PromptForSegment();
  TSegIdHeader ReadSegmentId(FileStream& file);
  void CloseSegment();
  // Reads every Scan record with its file list, the host's container events muted.
  void ReadFileLists(TSegArcList& list, uint16_t count);
  void ReadScanRecord(TSegArc& arc);
  // The names of a file-list text of lines lineLength bytes wide, into arc.
  static void ReadFileListLines(Stream& text, int32_t lineLength, TSegArc& arc);
  // Expands the file-list archive of size bytes that comes next into SegTmpDir and returns
  // the path of its text file.
  std::string ExpandFileList(int32_t size);
  void ExpandSegArchive(TSegArc& arc);
  // Copies size bytes of the logical stream into a new work file; a failure removes it.
  void CopyToWorkFile(int32_t size, bool progress);
  std::unique_ptr<FileStream> CreateWorkFile();
  // Copies on from copied (of size) until at least upTo bytes are in the file.
  void CopyInto(FileStream& file, int64_t size, int64_t& copied, int64_t upTo, bool progress);
  // Expands the archive of size bytes that comes next from its work file as it is copied.
  void ExpandWhileCopyingInto(int64_t size, std::vector<std::string>& files);
  // Copies the whole chunks the open segment still holds in one piece; false when there are
  // too few.
  bool CopyWholeChunks(FileStream& file, int64_t size, int64_t& copied, bool progress);
  [[noreturn]] void Aborted();

 private:
  uint16_t segNumber_ = 0;
  std::string segmentName_, segmentPath_;
  int32_t remaining_ = 0;
  bool abortRequested_ = false;
  TSegMode segMode_ = 0;

  std::string segBaseName_ = kDefaultSegBaseName;
  std::string segDir_ = kDefaultSegDir;
  std::string segExt_;
  int32_t segSize_ = kDefaultSegSize;
  std::string segTmpDir_;
  std::unique_ptr<FileStream> segment_;
  std::vector<uint8_t> work_;
  std::vector<uint8_t> chunks_;  // chunks copied in one piece
};

class TSegVelloxEZ : public TSegVellox {
 public:
  enum TBuildMode { bmFlat, bmRecursive };
  TBuildMode SegBuildMode = bmRecursive;
  TPackMethod SegCompType = coLZH;
  bool SegMultiArc = false;
  std::vector<std::string> SegSource;

  // Expands the whole set; SegSource then holds the template of every archive expanded.
  void ExpandSet();
  TSegArcList& Archives() { return archives_; }

 private:
  TSegArcList archives_;
};

}  // namespace tovin
