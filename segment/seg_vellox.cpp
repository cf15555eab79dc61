#include "segment/seg_vellox.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

#include "platform/path_routines.h"
#include "platform/platform.h"

namespace tovin {
namespace {


std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string FolderPart(const std::string& path) {
  auto cut = path.find_last_of("\\:");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string BareName(const std::string& path) { return path.substr(path.find_last_of("\\:/") + 1); }

}  // namespace

TSegVellox::TSegVellox() : work_(kWorkSize) {}

TSegVellox::~TSegVellox() = default;

void TSegVellox::SetSegBaseName(const std::string& value) {
  segBaseName_ = value.empty() ? kDefaultSegBaseName : Lower(BareName(value));
  if (segBaseName_.empty()) segBaseName_ = kDefaultSegBaseName;
}

void TSegVellox::SetSegDir(const std::string& value) { segDir_ = value.empty() ? kDefaultSegDir : Lower(value); }

void TSegVellox::SetSegExt(const std::string& value) { segExt_ = value.size() >= 4 ? value.substr(0, 3) : value; }

void TSegVellox::SetSegSize(int32_t value) { segSize_ = value < kMinSegSize ? kMinSegSize : value; }

std::string TSegVellox::SegTmpDir() const { return segTmpDir_.empty() ? plat::GetCurrentDirectory() : segTmpDir_; }

void TSegVellox::SetSegTmpDir(const std::string& value) {
  std::string v = value;
  if (!v.empty() && v.back() == '\\') v.pop_back();
  segTmpDir_ = Lower(v);
}

std::string TSegVellox::WorkFileName() const { return SegTmpDir() + "\\" + segBaseName_ + kWorkFileExt; }

void TSegVellox::FormNames() {
  SegmentName = SegmentFileName(segBaseName_, segExt_, SegNumber);
  std::string dir = segDir_;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  SegmentPath = dir + "\\" + SegmentName;
}

void TSegVellox::Aborted() { throw ESegError(kMsgAborted); }

void TSegVellox::PromptForSegment() {
  std::string value = segDir_;
  for (;;) {
    if (!Dialogs || !Dialogs->InputQuery(std::string(kCaptionMountSegment).append(std::to_string(SegNumber)), kPromptDirectoryPath, value)) {
      AbortRequested = true;
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
    if (AbortRequested) Aborted();
    FormNames();
  }
  if (OnSegBefore) OnSegBefore(SegMode, SegmentName, SegNumber);
  if (AbortRequested) Aborted();
}

TSegIdHeader TSegVellox::ReadSegmentId(FileStream& file) {
  uint8_t bytes[kSegIdSize];
  if (file.Read(bytes, kSegIdSize) != kSegIdSize || !HasId(reinterpret_cast<char*>(bytes), kIdSegment))
    throw ESegError(kMsgInvalidSegmentId);
  Remaining -= kSegIdSize;
  return ParseSegId(bytes);
}

void TSegVellox::OpenSegment(uint16_t n) {
  SegNumber = n;
  FormNames();
  for (;;) {
    BeforeSegment();
    std::string message;
    if (plat::GetFileAttributes(SegmentPath) == plat::kInvalidAttributes) {
      message = Format(kMsgUnableToLocate, SegmentName) + kPromptLineBreak + kMsgCorrectOrCancel;
    } else {
      TSegIdHeader id;
      try {
        FileStream probe(SegmentPath, FileStream::Mode::OpenReadExclusive);
        id = ReadSegmentId(probe);
      } catch (const Exception&) {
        throw ESegError(kMsgStreamOpenFailed);
      }
      if (id.SegNumber == n) break;
      message = std::string(kMsgIncorrectSegment) + kPromptLineBreak + kMsgCorrectOrCancel;
    }
    if (Dialogs && Dialogs->ErrorBoxOkCancel(message)) continue;
    AbortRequested = true;
    Aborted();
  }
  try {
    segment_ = std::make_unique<FileStream>(SegmentPath, FileStream::Mode::OpenReadExclusive);
  } catch (const Exception&) {
    throw ESegError(kMsgStreamOpenFailed);
  }
  int64_t size = segment_->Size();
  Remaining = static_cast<int32_t>(std::min<int64_t>(size, std::numeric_limits<int32_t>::max()));
}

void TSegVellox::CloseSegment() {
  segment_.reset();
  Remaining = 0;
}

void TSegVellox::ReadSegmentData(void* buffer, int32_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    if (Remaining <= 0) {
      CloseSegment();
      if (OnSegAfter) OnSegAfter(SegMode, SegmentName, SegNumber);
      if (AbortRequested) Aborted();
      OpenSegment(static_cast<uint16_t>(SegNumber + 1));
      ReadSegmentId(*segment_);
    }
    int32_t n = std::min({kWorkSize, count, Remaining});
    int64_t got = segment_->Read(out, n);
    if (got <= 0) {
      Remaining = 0;  // the file is shorter than it was: go on with the next segment
      continue;
    }
    Remaining -= static_cast<int32_t>(got);
    count -= static_cast<int32_t>(got);
    out += got;
    if (Dialogs) Dialogs->ProcessMessages();
  }
}

void TSegVellox::CopyToWorkFile(int32_t size, bool progress) {
  std::string work = WorkFileName();
  plat::DeleteFile(work);
  std::unique_ptr<FileStream> file;
  try {
    file = std::make_unique<FileStream>(work, FileStream::Mode::Create);
  } catch (const Exception&) {
    throw ESegError(kMsgStreamOpenFailed);
  }
  try {
    int64_t copied = 0;
    while (copied < size) {
      int32_t n = static_cast<int32_t>(std::min<int64_t>(kWorkSize, size - copied));
      std::fill(work_.begin(), work_.end(), 0);
      ReadSegmentData(work_.data(), n);
      file->WriteAll(work_.data(), n);
      copied += n;
      if (progress && OnSegShowProgress) OnSegShowProgress(static_cast<int32_t>(copied * 100 / size));
    }
  } catch (...) {
    file.reset();
    plat::DeleteFile(work);
    throw;
  }
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

  CopyToWorkFile(scan.ListSize, false);
  std::string work = WorkFileName();
  std::string savedTarget = TargetPath();
  SetTargetPath(SegTmpDir() + "\\");
  std::vector<std::string> written;
  bool testOnly = TestOnly;
  TestOnly = false;  // the file list is read from its file even when archives are only tested
  try {
    std::vector<TListedMember> members;
    ListArchive(work, members);
    for (auto& m : members) written.push_back(m.Name);
    ExpandArchive(work, &written);
  } catch (...) {
    TestOnly = testOnly;
    SetTargetPath(savedTarget);
    plat::DeleteFile(work);
    throw;
  }
  TestOnly = testOnly;
  SetTargetPath(savedTarget);
  plat::DeleteFile(work);
  if (written.empty()) throw EListError(Format(kMsgListIndexOutOfBounds, 0));
  std::string listFile = written[0];

  std::unique_ptr<FileStream> text;
  try {
    text = std::make_unique<FileStream>(listFile, FileStream::Mode::OpenRead);
  } catch (const Exception&) {
    plat::DeleteFile(listFile);
    throw ESegError(kMsgStreamOpenFailed);
  }
  int64_t left = text->Size();
  while (left > 0) {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(scan.LineLength, left));
    std::fill(work_.begin(), work_.end(), 0);
    if (text->Read(work_.data(), n) != n) {
      text.reset();
      plat::DeleteFile(listFile);
      throw ESegError(kMsgStreamReadFailed);
    }
    left -= n;
    std::string line(reinterpret_cast<char*>(work_.data()), strnlen(reinterpret_cast<char*>(work_.data()), n));
    while (!line.empty() && line.back() == ' ') line.pop_back();
    arc.Files.push_back(line);
  }
  text.reset();
  plat::DeleteFile(listFile);
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
  CopyToWorkFile(record.DataSize, true);
  std::string work = WorkFileName();
  MakeDirectories = true;
  SetTargetPath(arc.Path);
  try {
    ExpandArchive(work, &arc.Files);
  } catch (...) {
    plat::DeleteFile(work);
    throw;
  }
  if (OnSegAfterArchive) OnSegAfterArchive(record, arc.Template);
  if (AbortRequested) Aborted();
  plat::DeleteFile(work);
}

void TSegVellox::ExpandSegments(TSegArcList& list) {
  AbortRequested = false;
  SegMode = 1;
  CreateDirectoryPath(SegTmpDir());
  list.clear();
  OpenSegment(1);
  try {
    ReadSegmentId(*segment_);
    uint8_t bytes[kSetHeaderSize] = {};
    ReadSegmentData(bytes, kSetHeaderSize);
    TSegSetHeader set = ParseSetHeader(bytes);
    if (!HasId(set.Id, kIdSetHeader)) throw ESegError(kMsgInvalidSetHeader);

    // The file lists are read with the host's container events muted. Each file-list member
    // is kept inside SegTmpDir under its bare name, whatever folders its stored name holds.
    auto savedCompress = OnCompress;
    auto savedExpand = OnExpand;
    auto savedRecognize = OnRecognize;
    auto savedCheck = OnCheckFile;
    auto savedProgress = ShowProgress;
    auto restore = [&] {
      OnCompress = savedCompress;
      OnExpand = savedExpand;
      OnRecognize = savedRecognize;
      OnCheckFile = savedCheck;
      ShowProgress = savedProgress;
    };
    OnCompress = nullptr;
    OnExpand = [](Stream&, Stream&, int32_t, int32_t, const std::string&, int32_t&) {};
    OnRecognize = [](const std::string&, bool&) {};
    ShowProgress = [](int32_t&) {};
    OnCheckFile = [this](std::string& path, TCProcessMode) {
      std::string bare = BareName(path);
      path = bare.empty() || bare == "." || bare == ".." ? std::string() : SegTmpDir() + "\\" + bare;
    };
    try {
      for (unsigned i = 0; i < set.ArcCount; ++i) {
        auto arc = std::make_unique<TSegArc>();
        ReadScanRecord(*arc);
        arc->Sequence = static_cast<uint16_t>(i);
        list.push_back(std::move(arc));
      }
    } catch (...) {
      restore();
      throw;
    }
    restore();

    if (OnSegBeforeExpand) OnSegBeforeExpand(list);
    if (AbortRequested) Aborted();
    size_t count = list.size();
    for (size_t i = 0; i < count && i < list.size(); ++i) ExpandSegArchive(*list[i]);
  } catch (...) {
    CloseSegment();
    throw;
  }
  CloseSegment();
}

void TSegVelloxEZ::ExpandSet() {
  SetTargetPath("");
  ExpandSegments(archives_);
  SegSource.clear();
  for (const auto& arc : archives_) SegSource.push_back(arc->Template);
  SetTargetPath("");
}

}  // namespace tovin
