#include "segment/seg_writer.h"

#include <algorithm>
#include <memory>

#include "container/archive_writer.h"
#include "platform/exception.h"
#include "platform/stream.h"
#include "segment/seg_format.h"

namespace tovin {
namespace {

// The logical stream, cut into segment files as it is written.
class SegmentSink {
 public:
  explicit SegmentSink(const SegSetOptions& o) : o_(o) {}
  void Write(const std::string& bytes) {
    size_t at = 0;
    while (at < bytes.size()) {
      if (!file_ || room_ == 0) Next();
      size_t n = std::min<size_t>(room_, bytes.size() - at);
      file_->WriteAll(bytes.data() + at, static_cast<int64_t>(n));
      room_ -= n;
      at += n;
    }
  }
  std::vector<std::string> Finish() {
    if (!file_) Next();
    file_.reset();
    return paths_;
  }

 private:
  void Next() {
    if (paths_.size() >= 65535) throw EGeneralError("a segment set holds at most 65535 segments; raise the segment size");
    file_.reset();
    TSegIdHeader id;
    id.SegNumber = static_cast<uint16_t>(paths_.size() + 1);
    std::string dir = o_.SegDir;
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    paths_.push_back(dir + "\\" + SegmentFileName(o_.SegBaseName, o_.SegExt, id.SegNumber));
    file_ = std::make_unique<FileStream>(paths_.back(), FileStream::Mode::Create);
    std::string header = Serialize(id);
    file_->WriteAll(header.data(), kSegIdSize);
    room_ = static_cast<size_t>(std::max<int32_t>(o_.SegSize, kSegIdSize + 1) - kSegIdSize);
  }

  const SegSetOptions& o_;
  std::unique_ptr<FileStream> file_;
  size_t room_ = 0;
  std::vector<std::string> paths_;
};

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

// Writes the logical stream to sink, piece by piece.
template <typename Sink>
void WriteStream(const std::vector<SegArchiveSource>& archives, const SegSetOptions& options, Sink& sink) {
  if (archives.size() > 65535) throw EGeneralError("a segment set holds at most 65535 archives");
  TSegSetHeader set;
  set.ArcCount = static_cast<uint16_t>(archives.size());
  sink.Write(Serialize(set));
  for (const auto& a : archives) {
    if (a.Template.size() > static_cast<size_t>(kMaxTemplateLength)) throw EGeneralError("template too long: " + a.Template);
    TSegScanHeader scan;
    int32_t lineLength = 1;
    std::string list = FileListArchive(a, options, lineLength);
    scan.TemplateLength = static_cast<uint16_t>(a.Template.size());
    scan.ScanTag = a.ScanTag;
    scan.LineLength = lineLength;
    scan.ListSize = static_cast<int32_t>(list.size());
    sink.Write(Serialize(scan));
    sink.Write(a.Template);
    sink.Write(list);
  }
  for (size_t i = 0; i < archives.size(); ++i) {
    if (archives[i].Archive.size() > 2147483647u) throw EGeneralError("an archive of a set holds at most 2 GiB");
    TSegArcHeader arc;
    arc.Sequence = static_cast<uint16_t>(i);
    arc.DataSize = static_cast<int32_t>(archives[i].Archive.size());
    sink.Write(Serialize(arc));
    sink.Write(archives[i].Archive);
  }
}

struct StringSink {
  std::string bytes;
  void Write(const std::string& b) { bytes += b; }
};

}  // namespace

std::vector<std::string> WriteSegmentSet(const std::vector<SegArchiveSource>& archives, const SegSetOptions& options) {
  SegmentSink sink(options);
  WriteStream(archives, options, sink);
  return sink.Finish();
}

std::string LogicalStream(const std::vector<SegArchiveSource>& archives, const SegSetOptions& options) {
  StringSink sink;
  WriteStream(archives, options, sink);
  return sink.bytes;
}

}  // namespace tovin
