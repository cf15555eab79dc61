#include "segment/seg_vellox.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <unordered_set>

#include "platform/path_routines.h"
#include "platform/platform.h"
#include "platform/scope_guard.h"
#include "platform/text.h"
#include "segment/growing_file_stream.h"

namespace tovin {
namespace {


std::string FolderPart(const std::string& path) {
  auto cut = path.find_last_of("\\:");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string BareName(const std::string& path) { return path.substr(path.find_last_of("\\:/") + 1); }

// File-list text is read this many bytes at a time (whole lines, at least one).
constexpr int64_t kListReadSize = 65536;

// A file list may name files its archive lacks (they are reported), but not this many more
// than the archive has room for members: every member takes a header and a name.
constexpr int64_t kListSlack = 1024;

// Lines cut at a zero byte are kept to be reported; a list of nothing else stays small.
constexpr size_t kMaxCutNames = 64;

bool IsPadding(const char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (bytes[i] != ' ' && bytes[i] != '\0') return false;
  return true;
}

}  // namespace

TSegVellox::TSegVellox() : work_(kWorkSize) {}

TSegVellox::~TSegVellox() = default;

void TSegVellox::SetSegBaseName(const std::string& value) {
  segBaseName_ = value.empty() ? kDefaultSegBaseName : plat::LowerCase(BareName(value));
  if (segBaseName_.empty()) segBaseName_ = kDefaultSegBaseName;
}

void TSegVellox::SetSegDir(const std::string& value) { segDir_ = value.empty() ? kDefaultSegDir : plat::LowerCase(value); }

void TSegVellox::SetSegExt(const std::string& value) { segExt_ = value.size() >= 4 ? value.substr(0, 3) : value; }

void TSegVellox::SetSegSize(int32_t value) { segSize_ = value < kMinSegSize ? kMinSegSize : value; }

std::string TSegVellox::SegTmpDir() const { return segTmpDir_.empty() ? plat::GetCurrentDirectory() : segTmpDir_; }

void TSegVellox::SetSegTmpDir(const std::string& value) {
  std::string v = value;
  if (!v.empty() && v.back() == '\\') v.pop_back();
  segTmpDir_ = plat::LowerCase(v);
}

std::string TSegVellox::WorkFileName() const { return SegTmpDir() + "\\" + segBaseName_ + kWorkFileExt; }

void TSegVellox::FormNames() {
  segmentName_ = SegmentFileName(segBaseName_, segExt_, segNumber_);
  std::string dir = segDir_;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  segmentPath_ = dir + "\\" + segmentName_;
}

void TSegVellox::Aborted() { throw ESegError(kMsgAborted); }

void TSegVellox::PromptForSegment() {
  std::string value = segDir_;
  for (;;) {
    std::string caption = std::string(kCaptionMountSegment).append(std::to_string(segNumber_));
    if (!Dialogs || !Dialogs->InputQuery(caption, kPromptDirectoryPath, value, segmentName_)) {
      abortRequested_ = true;
      return;
    }
    if (!value.empty()) {
      segDir_ = value;  // exactly as typed
      return;
    }
    value = segDir_;
  }
}

void TSegVellox::BeforeSegment() {
  if (SegPopUp) {
    PromptForSegment();
    if (Dialogs) Dialogs->Repaint();
    if (abortRequested_) Aborted();
    FormNames();
  }
  if (OnSegBefore) OnSegBefore(segMode_, segmentName_, segNumber_);
  if (abortRequested_) Aborted();
}

TSegIdHeader TSegVellox::ReadSegmentId(FileStream& file) {
  uint8_t bytes[kSegIdSize];
  if (file.Read(bytes, kSegIdSize) != kSegIdSize || !HasId(reinterpret_cast<char*>(bytes), kIdSegment))
    throw ESegError(kMsgInvalidSegmentId);
  remaining_ -= kSegIdSize;
  return ParseSegId(bytes);
}

void TSegVellox::OpenSegment(uint16_t n) {
  segNumber_ = n;
  FormNames();
  for (;;) {
    BeforeSegment();
    std::string message;
    TSegQuestion question = sqSegmentMissing;
    if (plat::GetFileAttributes(segmentPath_) == plat::kInvalidAttributes) {
      message = Format(kMsgUnableToLocate, segmentName_) + kPromptLineBreak + kMsgCorrectOrCancel;
    } else {
      TSegIdHeader id;
      try {
        FileStream probe(segmentPath_, FileStream::Mode::OpenReadExclusive);
        id = ReadSegmentId(probe);
      } catch (const Exception&) {
        throw ESegError(kMsgStreamOpenFailed);
      }
      if (id.SegNumber == n) break;
      message = std::string(kMsgIncorrectSegment) + kPromptLineBreak + kMsgCorrectOrCancel;
      question = sqWrongSegment;
    }
    if (Dialogs && Dialogs->ErrorBoxOkCancel(message, question, segmentName_)) continue;
    abortRequested_ = true;
    Aborted();
  }
  try {
    segment_ = std::make_unique<FileStream>(segmentPath_, FileStream::Mode::OpenReadExclusive);
  } catch (const Exception&) {
    throw ESegError(kMsgStreamOpenFailed);
  }
  int64_t size = segment_->Size();
  remaining_ = static_cast<int32_t>(std::min<int64_t>(size, std::numeric_limits<int32_t>::max()));
}

void TSegVellox::CloseSegment() {
  segment_.reset();
  remaining_ = 0;
}

void TSegVellox::ReadSegmentData(void* buffer, int32_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    if (remaining_ <= 0) {
      CloseSegment();
      if (OnSegAfter) OnSegAfter(segMode_, segmentName_, segNumber_);
      if (abortRequested_) Aborted();
      // The 16-bit number would wrap to 0 and the set would never end.
      if (segNumber_ >= kMaxSegNumber) throw ESegError(kMsgTooManySegments);
      OpenSegment(static_cast<uint16_t>(segNumber_ + 1));
      ReadSegmentId(*segment_);
    }
    int32_t n = std::min({kWorkSize, count, remaining_});
    int64_t got = segment_->Read(out, n);
    if (got <= 0) {
      remaining_ = 0;  // the file is shorter than it was: go on with the next segment
      continue;
    }
    remaining_ -= static_cast<int32_t>(got);
    count -= static_cast<int32_t>(got);
    out += got;
    if (Dialogs) Dialogs->ProcessMessages();
  }
}

std::unique_ptr<FileStream> TSegVellox::CreateWorkFile() {
  std::string work = WorkFileName();
  plat::DeleteFile(work);
  try {
    return std::make_unique<FileStream>(work, FileStream::Mode::Create);
  } catch (const Exception&) {
    throw ESegError(kMsgStreamOpenFailed);
  }
}

void TSegVellox::CopyInto(FileStream& file, int64_t size, int64_t& copied, int64_t upTo, bool progress) {
  upTo = std::min(upTo, size);
  while (copied < upTo) {
    if (CopyWholeChunks(file, size, copied, progress)) continue;
    int32_t n = static_cast<int32_t>(std::min<int64_t>(kWorkSize, size - copied));
    std::fill(work_.begin(), work_.end(), 0);
    ReadSegmentData(work_.data(), n);
    file.WriteAll(work_.data(), n);
    copied += n;
    if (progress && OnSegShowProgress) OnSegShowProgress(static_cast<int32_t>(copied * 100 / size));
  }
}

void TSegVellox::CopyToWorkFile(int32_t size, bool progress) {
  // Declared before the file, so the file is closed before it is removed.
  ScopeGuard removeOnFailure([work = WorkFileName()] { plat::DeleteFile(work); });
  std::unique_ptr<FileStream> file = CreateWorkFile();
  int64_t copied = 0;
  CopyInto(*file, size, copied, size, progress);
  file.reset();
  removeOnFailure.Dismiss();
}

void TSegVellox::ExpandWhileCopyingInto(int64_t size, std::vector<std::string>& files) {
  // Copied a step ahead of what the expansion asks for, so that reading a member header does
  // not copy one chunk at a time.
  constexpr int64_t kCopyAhead = 1 << 20;
  std::unique_ptr<FileStream> file = CreateWorkFile();
  int64_t copied = 0;
  GrowingFileStream in(*file, size, [&](int64_t upTo) {
    CopyInto(*file, size, copied, upTo + kCopyAhead, true);
    return copied;
  });
  ExpandArchiveStream(in, &files);
  in.Finish();
}

bool TSegVellox::CopyWholeChunks(FileStream& file, int64_t size, int64_t& copied, bool progress) {
  // Only whole chunks that the open segment holds: a chunk that runs into the next segment, and
  // the last one, take the way of one chunk at a time, with the segment's events in their place.
  constexpr int64_t kMostChunks = 128;
  int64_t chunks = std::min({(size - copied) / kWorkSize, static_cast<int64_t>(remaining_) / kWorkSize, kMostChunks});
  if (!segment_ || chunks < 2) return false;
  int64_t want = chunks * kWorkSize, got = 0;
  chunks_.resize(static_cast<size_t>(want));
  for (int64_t n; got < want && (n = segment_->Read(chunks_.data() + got, want - got)) > 0;) got += n;
  remaining_ -= static_cast<int32_t>(got);
  int64_t whole = got / kWorkSize, part = got % kWorkSize;
  if (part) {
    // The segment is shorter than it was: the rest of this chunk comes from the next one.
    std::fill(work_.begin(), work_.end(), 0);
    std::copy_n(chunks_.data() + whole * kWorkSize, part, work_.data());
    ReadSegmentData(work_.data() + part, static_cast<int32_t>(kWorkSize - part));
    std::copy_n(work_.data(), kWorkSize, chunks_.data() + whole * kWorkSize);
    ++whole;
  }
  file.WriteAll(chunks_.data(), whole * kWorkSize);
  // The events each chunk raises when copied by itself.
  for (int64_t i = 0; i < whole; ++i) {
    if (Dialogs) Dialogs->ProcessMessages();
    copied += kWorkSize;
    if (progress && OnSegShowProgress) OnSegShowProgress(static_cast<int32_t>(copied * 100 / size));
  }
  return whole > 0;
}

std::string TSegVellox::ExpandFileList(int32_t size) {
  CopyToWorkFile(size, false);
  std::string work = WorkFileName();
  ScopeGuard removeWork([&] { plat::DeleteFile(work); });
  // The file list is read from its file even when archives are only tested.
  ScopeGuard restore([this, target = TargetPath(), testOnly = TestOnly] {
    SetTargetPath(target);
    TestOnly = testOnly;
  });
  SetTargetPath(SegTmpDir() + "\\");
  TestOnly = false;
  std::vector<TListedMember> members;
  ListArchive(work, members);
  std::vector<std::string> written;
  for (auto& m : members) written.push_back(m.Name);
  ExpandArchive(work, &written);
  if (written.empty()) throw EListError(Format(kMsgListIndexOutOfBounds, 0));
  return written[0];
}

void TSegVellox::ReadScanRecord(TSegArc& arc) {
  uint8_t record[kScanHeaderSize] = {};
  ReadSegmentData(record, kScanHeaderSize);
  TSegScanHeader scan = ParseScanHeader(record);
  if (!HasId(scan.Id, kIdScan) || scan.TemplateLength > kMaxTemplateLength || scan.LineLength < 1 ||
      scan.LineLength > kMaxLineLength || scan.ListSize < 0)
    throw ESegError(kMsgInvalidScanHeader);
  std::fill(work_.begin(), work_.end(), 0);
  ReadSegmentData(work_.data(), scan.TemplateLength);
  arc.Template = std::string(reinterpret_cast<char*>(work_.data()),
                             strnlen(reinterpret_cast<char*>(work_.data()), scan.TemplateLength));
  arc.Path = FolderPart(arc.Template);
  arc.ScanTag = scan.ScanTag;
  arc.Files.clear();

  std::string listFile = ExpandFileList(scan.ListSize);
  // Declared before the stream, so the text is closed before it is removed.
  ScopeGuard removeList([&] { plat::DeleteFile(listFile); });
  std::unique_ptr<FileStream> text;
  try {
    text = std::make_unique<FileStream>(listFile, FileStream::Mode::OpenRead);
  } catch (const Exception&) {
    throw ESegError(kMsgStreamOpenFailed);
  }
  ReadFileListLines(*text, scan.LineLength, arc);
}

void TSegVellox::ReadFileListLines(Stream& text, int32_t lineLength, TSegArc& arc) {
  // Whole lines at a time, so that a list of short lines costs a scan, not a read per line;
  // repeats of a name are kept once.
  const int64_t perRead = std::max<int64_t>(1, kListReadSize / lineLength) * lineLength;
  std::vector<char> buffer(static_cast<size_t>(perRead));
  std::unordered_set<std::string> seen;
  std::string folded;  // reused: a repeated name makes no new string
  const char* previous = nullptr;  // the last name, while it is still in the buffer
  for (int64_t left = text.Size(); left > 0;) {
    int64_t n = std::min(perRead, left);
    if (text.Read(buffer.data(), n) != n) throw ESegError(kMsgStreamReadFailed);
    left -= n;
    previous = nullptr;
    for (const char* line = buffer.data(); line < buffer.data() + n; line += lineLength) {
      size_t width = static_cast<size_t>(std::min<int64_t>(lineLength, buffer.data() + n - line));
      size_t length = strnlen(line, width);
      if (length < width && arc.CutNames.size() < kMaxCutNames && !IsPadding(line + length, width - length)) {
        std::string whole(line, width);
        while (!whole.empty() && (whole.back() == ' ' || whole.back() == '\0')) whole.pop_back();
        arc.CutNames.push_back(std::move(whole));
      }
      while (length > 0 && line[length - 1] == ' ') --length;
      if (length == 0) continue;
      ++arc.ListedNames;
      if (length == folded.size() && previous && std::memcmp(previous, line, length) == 0) continue;  // a run
      previous = line;
      folded = plat::FoldAsciiCase(std::string(line, length));
      if (seen.insert(folded).second) arc.Files.emplace_back(line, length);
    }
  }
}

void TSegVellox::ExpandSegArchive(TSegArc& arc) {
  TSegArcHeader record;
  for (;;) {
    uint8_t bytes[kArcHeaderSize] = {};
    ReadSegmentData(bytes, kArcHeaderSize);
    record = ParseArcHeader(bytes);
    if (!HasId(record.Id, kIdArchive)) throw ESegError(kMsgInvalidArchiveHeader);
    if (arc.Sequence < record.Sequence) throw ESegError(kMsgInvalidArchiveSequence);
    if (arc.Sequence == record.Sequence) break;
    for (int64_t skipped = 0; skipped < record.DataSize;) {  // an archive left out: read past it
      int32_t n = static_cast<int32_t>(std::min<int64_t>(kWorkSize, record.DataSize - skipped));
      std::fill(work_.begin(), work_.end(), 0);
      ReadSegmentData(work_.data(), n);
      skipped += n;
    }
  }
  int64_t room = std::max<int64_t>(0, record.DataSize - kArchiveHeaderSize) / (kMemberHeaderSize + 1);
  if (static_cast<int64_t>(arc.ListedNames) > room + kListSlack) throw ESegError(kMsgFileListTooLong);
  std::string work = WorkFileName();
  if (!ExpandWhileCopying) CopyToWorkFile(record.DataSize, true);
  ScopeGuard removeWork([&] { plat::DeleteFile(work); });
  MakeDirectories = true;
  SetTargetPath(arc.Path);
  if (ExpandWhileCopying) ExpandWhileCopyingInto(record.DataSize, arc.Files);
  else ExpandArchive(work, &arc.Files);
  if (OnSegAfterArchive) OnSegAfterArchive(record, arc.Template);
  if (abortRequested_) {
    removeWork.Dismiss();  // an abort here leaves the archive's work file in place
    Aborted();
  }
}

void TSegVellox::ReadFileLists(TSegArcList& list, uint16_t count) {
  // The host's handlers are put back however this ends.
  ScopeGuard restore([this, compress = OnCompress, expand = OnExpand, recognize = OnRecognize,
                      check = OnCheckFile, progress = ShowProgress]() mutable {
    OnCompress = std::move(compress);
    OnExpand = std::move(expand);
    OnRecognize = std::move(recognize);
    OnCheckFile = std::move(check);
    ShowProgress = std::move(progress);
  });
  OnCompress = nullptr;
  OnExpand = [](Stream&, Stream&, int32_t, int32_t, const std::string&, int32_t&) {};
  OnRecognize = [](const std::string&, bool&) {};
  ShowProgress = [](int32_t&) {};
  // Each file-list member is kept inside SegTmpDir under its bare name, whatever folders its
  // stored name holds.
  OnCheckFile = [this](std::string& path, TCProcessMode) {
    std::string bare = BareName(path);
    path = bare.empty() || bare == "." || bare == ".." ? std::string() : SegTmpDir() + "\\" + bare;
  };
  for (unsigned i = 0; i < count; ++i) {
    auto arc = std::make_unique<TSegArc>();
    ReadScanRecord(*arc);
    arc->Sequence = static_cast<uint16_t>(i);
    list.push_back(std::move(arc));
  }
}

void TSegVellox::ExpandSegments(TSegArcList& list) {
  abortRequested_ = false;
  segMode_ = 1;
  CreateDirectoryPath(SegTmpDir());
  list.clear();
  ScopeGuard closeSegment([this] { CloseSegment(); });
  OpenSegment(1);
  ReadSegmentId(*segment_);
  uint8_t bytes[kSetHeaderSize] = {};
  ReadSegmentData(bytes, kSetHeaderSize);
  TSegSetHeader set = ParseSetHeader(bytes);
  if (!HasId(set.Id, kIdSetHeader)) throw ESegError(kMsgInvalidSetHeader);
  ReadFileLists(list, set.ArcCount);

  if (OnSegBeforeExpand) OnSegBeforeExpand(list);
  if (abortRequested_) Aborted();
  size_t count = list.size();
  for (size_t i = 0; i < count && i < list.size(); ++i) ExpandSegArchive(*list[i]);
}

void TSegVelloxEZ::ExpandSet() {
  SetTargetPath("");
  ExpandSegments(archives_);
  SegSource.clear();
  for (const auto& arc : archives_) SegSource.push_back(arc->Template);
  SetTargetPath("");
}

}  // namespace tovin
