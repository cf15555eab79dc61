#include "segment/seg_writer.h"

#include <algorithm>

#include "container/archive_writer.h"
#include "platform/exception.h"
#include "segment/seg_format.h"

namespace tovin {
namespace {

// The file list: one member of fixed-width lines, blank-padded.
std::string FileListArchive(const SegArchiveSource& a, const SegSetOptions& o, int32_t& lineLength) {
  size_t width = 1;
  for (const auto& f : a.Files) width = std::max(width, f.size());
  if (width > static_cast<size_t>(kMaxLineLength)) throw EGeneralError("member name too long for a file list: " + a.Files[0]);
  lineLength = static_cast<int32_t>(width);
  std::string text;
  for (size_t i = 0; i < a.Files.size(); ++i) {
    text += a.Files[i];
    if (i + 1 < a.Files.size()) text.append(width - a.Files[i].size(), ' ');
  }
  MemoryStream out;
  ArchiveWriter writer(out, o.ListMethod, o.Key);
  writer.AddData(text, o.SegBaseName + ".lst", 0x00210000u, 0);
  writer.Finish();
  return out.Data();
}

// The set header and every archive's Scan record with its template and file list.
std::string SetRecords(const std::vector<SegArchiveSource>& archives, const SegSetOptions& options) {
  if (archives.size() > 65535) throw EGeneralError("a segment set holds at most 65535 archives");
  TSegSetHeader set;
  set.ArcCount = static_cast<uint16_t>(archives.size());
  std::string records = Serialize(set);
  for (const auto& a : archives) {
    if (a.Template.size() > static_cast<size_t>(kMaxTemplateLength)) throw EGeneralError("template too long: " + a.Template);
    TSegScanHeader scan;
    int32_t lineLength = 1;
    std::string list = FileListArchive(a, options, lineLength);
    scan.TemplateLength = static_cast<uint16_t>(a.Template.size());
    scan.ScanTag = a.ScanTag;
    scan.LineLength = lineLength;
    scan.ListSize = static_cast<int32_t>(list.size());
    records += Serialize(scan) + a.Template + list;
  }
  return records;
}

}  // namespace

// The logical stream over the segment files. Writes go where the position is: at the end they
// extend the set (opening the next segment when one is full), before it they overwrite bytes
// already written, in whichever segment holds them. The end of the open segment is gathered in
// memory and written in large pieces: members are small and their headers are filled in after
// their data, and a system call for each piece cost more than packing a small file.
class SegmentSetWriter::Sink {
 public:
  explicit Sink(const SegSetOptions& o)
      : o_(o), room_(static_cast<int64_t>(std::max<int32_t>(o.SegSize, kSegIdSize + 1) - kSegIdSize)) {}

  void Write(const void* data, int64_t count) {
    auto* p = static_cast<const char*>(data);
    while (count > 0) {
      size_t seg = static_cast<size_t>(pos_ / room_);
      int64_t offset = pos_ % room_;
      if (seg == paths_.size()) Next();
      int64_t n = std::min(count, room_ - offset);
      if (seg + 1 == paths_.size() && pos_ >= heldAt_) {
        // Within or just after the bytes held: pos_ never passes the end, which they reach.
        size_t at = static_cast<size_t>(pos_ - heldAt_);
        if (held_.size() < at + static_cast<size_t>(n)) held_.resize(at + static_cast<size_t>(n));
        std::copy(p, p + n, held_.begin() + static_cast<std::ptrdiff_t>(at));
      } else {
        if (seg + 1 == paths_.size()) n = std::min(n, heldAt_ - pos_);  // up to the bytes held
        FileStream* file = seg + 1 == paths_.size() ? open_.get() : nullptr;
        std::unique_ptr<FileStream> old;
        if (!file) {
          old = std::make_unique<FileStream>(paths_[seg], FileStream::Mode::OpenReadWrite);
          file = old.get();
        }
        file->Seek(kSegIdSize + offset, 0);
        file->WriteAll(p, n);
      }
      pos_ += n;
      end_ = std::max(end_, pos_);
      p += n;
      count -= n;
    }
    if (held_.size() >= kHoldLimit) WriteHeld();
  }
  void Write(const std::string& bytes) { Write(bytes.data(), static_cast<int64_t>(bytes.size())); }
  int64_t Position() const { return pos_; }
  int64_t End() const { return end_; }
  void SeekTo(int64_t pos) { pos_ = pos; }
  std::vector<std::string> Finish() {
    if (paths_.empty()) Next();
    WriteHeld();
    open_.reset();
    return paths_;
  }
  void Discard() {
    held_.clear();
    open_.reset();
    for (const auto& p : paths_) plat::DeleteFile(p);
    paths_.clear();
  }

 private:
  static constexpr size_t kHoldLimit = 1 << 20;

  // Writes the bytes held to the open segment; the next ones are held from the end on.
  void WriteHeld() {
    if (held_.empty()) return;
    open_->Seek(kSegIdSize + heldAt_ % room_, 0);
    open_->WriteAll(held_.data(), static_cast<int64_t>(held_.size()));
    heldAt_ += static_cast<int64_t>(held_.size());
    held_.clear();
  }

  void Next() {
    if (paths_.size() >= kMaxSegNumber) throw EGeneralError("a segment set holds at most 65535 segments; raise the segment size");
    WriteHeld();
    open_.reset();
    TSegIdHeader id;
    id.SegNumber = static_cast<uint16_t>(paths_.size() + 1);
    std::string dir = o_.SegDir;
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    paths_.push_back(dir + "\\" + SegmentFileName(o_.SegBaseName, o_.SegExt, id.SegNumber));
    open_ = std::make_unique<FileStream>(paths_.back(), FileStream::Mode::Create);
    std::string header = Serialize(id);
    open_->WriteAll(header.data(), kSegIdSize);
    heldAt_ = static_cast<int64_t>(paths_.size() - 1) * room_;
  }

  const SegSetOptions& o_;
  int64_t room_;
  int64_t pos_ = 0, end_ = 0;
  std::unique_ptr<FileStream> open_;
  std::vector<std::string> paths_;
  std::string held_;    // bytes of the open segment not yet written to it
  int64_t heldAt_ = 0;  // their position in the stream
};

// One archive's view of the logical stream.
class SegmentSetWriter::ArchiveStream final : public Stream {
 public:
  ArchiveStream(Sink& sink, int64_t start) : sink_(sink), start_(start) {}
  int64_t Read(void*, int64_t) override { return 0; }
  void WriteAll(const void* buffer, int64_t count) override { sink_.Write(buffer, count); }
  int64_t Seek(int64_t offset, int origin) override {
    int64_t base = origin == 0 ? 0 : origin == 1 ? sink_.Position() - start_ : Size();
    int64_t target = base + offset;
    if (target < 0 || target > Size()) return -1;
    sink_.SeekTo(start_ + target);
    return target;
  }
  int64_t Size() override { return sink_.End() - start_; }

 private:
  Sink& sink_;
  int64_t start_;
};

SegmentSetWriter::SegmentSetWriter(const SegSetOptions& options)
    : options_(options), sink_(std::make_unique<Sink>(options_)) {}
SegmentSetWriter::~SegmentSetWriter() = default;

void SegmentSetWriter::Begin(const std::vector<SegArchiveSource>& archives) {
  archiveCount_ = archives.size();
  sink_->Write(SetRecords(archives, options_));
}

Stream& SegmentSetWriter::BeginArchive() {
  if (next_ >= archiveCount_) throw EGeneralError("more archives than the set header announced");
  TSegArcHeader arc;
  arc.Sequence = static_cast<uint16_t>(next_);
  recordAt_ = sink_->Position();
  sink_->Write(Serialize(arc));
  archive_ = std::make_unique<ArchiveStream>(*sink_, sink_->Position());
  return *archive_;
}

void SegmentSetWriter::EndArchive() {
  int64_t size = archive_->Size();
  if (size > 2147483647) throw EGeneralError("an archive of a set holds at most 2 GiB");
  TSegArcHeader arc;
  arc.Sequence = static_cast<uint16_t>(next_);
  arc.DataSize = static_cast<int32_t>(size);
  int64_t end = recordAt_ + kArcHeaderSize + size;
  sink_->SeekTo(recordAt_);
  sink_->Write(Serialize(arc));
  sink_->SeekTo(end);
  archive_.reset();
  ++next_;
}

std::vector<std::string> SegmentSetWriter::Finish() {
  if (next_ != archiveCount_) throw EGeneralError("fewer archives than the set header announced");
  return sink_->Finish();
}

void SegmentSetWriter::Discard() {
  archive_.reset();
  sink_->Discard();
}

std::vector<std::string> WriteSegmentSet(const std::vector<SegArchiveSource>& archives, const SegSetOptions& options) {
  SegmentSetWriter writer(options);
  try {
    writer.Begin(archives);
    for (const auto& a : archives) {
      writer.BeginArchive().WriteAll(a.Archive.data(), static_cast<int64_t>(a.Archive.size()));
      writer.EndArchive();
    }
    return writer.Finish();
  } catch (...) {
    writer.Discard();
    throw;
  }
}

std::string LogicalStream(const std::vector<SegArchiveSource>& archives, const SegSetOptions& options) {
  std::string stream = SetRecords(archives, options);
  for (size_t i = 0; i < archives.size(); ++i) {
    TSegArcHeader arc;
    arc.Sequence = static_cast<uint16_t>(i);
    arc.DataSize = static_cast<int32_t>(archives[i].Archive.size());
    stream += Serialize(arc) + archives[i].Archive;
  }
  return stream;
}

}  // namespace tovin
