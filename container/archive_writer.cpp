#include "container/archive_writer.h"

#include <cstring>
#include <vector>

#include "codec/codec_errors.h"
#include "codec/run_codec.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace tovin {
namespace {

constexpr int64_t kMaxMember = 2147483647;

// Copies size bytes, returning their byte sum; raises when the input ends early.
uint32_t CopyStored(Stream& in, Stream& out, int64_t size, const ArchiveWriter::Progress& progress) {
  std::vector<char> buffer(1 << 16);
  uint32_t sum = 0;
  for (int64_t done = 0; done < size;) {
    int64_t n = in.Read(buffer.data(), std::min<int64_t>(size - done, static_cast<int64_t>(buffer.size())));
    if (n <= 0) throw EReadError(kMsgStreamReadError);
    for (int64_t i = 0; i < n; ++i) sum += static_cast<unsigned char>(buffer[static_cast<size_t>(i)]);
    out.WriteAll(buffer.data(), n);
    done += n;
    if (progress) progress(done, size);
  }
  return sum;
}

}  // namespace

ArchiveWriter::ArchiveWriter(Stream& out, TPackMethod method, int32_t key, Progress progress)
    : out_(out), method_(method), key_(key), progress_(std::move(progress)) {
  headerAt_ = out_.Position();
  TArchiveHeader h;
  std::memcpy(h.MethodId, MethodIdOf(method), 3);
  h.LockFlag = key > 0 ? kLockScrambled : kLockOpen;
  std::string bytes = SerializeArchiveHeader(h);
  out_.WriteAll(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void ArchiveWriter::AddFile(const std::string& path, const std::string& memberName) {
  FileStream in(path, FileStream::Mode::OpenRead);
  int64_t size = in.Size();
  if (size > kMaxMember) throw EGeneralError(path + " is larger than an archive member can be (2 GiB)");
  uint32_t attributes = plat::GetFileAttributes(path);
  if (attributes == plat::kInvalidAttributes || attributes == plat::kAttrNormal) attributes = 0;
  AddStream(in, size, memberName, in.File().GetDosDateTime(),
            static_cast<uint16_t>(attributes & (plat::kAttrReadOnly | plat::kAttrHidden | plat::kAttrSystem |
                                                plat::kAttrArchive)));
  if (in.Size() != size) throw EGeneralError(path + " changed size while it was packed");
}

void ArchiveWriter::AddData(const std::string& data, const std::string& memberName, uint32_t dosDateTime,
                            uint16_t attributes) {
  MemoryStream in(data);
  AddStream(in, static_cast<int64_t>(data.size()), memberName, dosDateTime, attributes);
}

void ArchiveWriter::AddStream(Stream& in, int64_t size, const std::string& memberName, uint32_t dosDateTime,
                              uint16_t attributes) {
  if (memberName.size() > 32767) throw EGeneralError("member name too long: " + memberName.substr(0, 80) + "...");
  if (size > kMaxMember) throw EGeneralError(memberName + " is larger than an archive member can be (2 GiB)");
  if (total_ + size > kMaxMember) throw EGeneralError("the archive holds more than 2 GiB of data");
  TMemberHeader h;
  h.NameLength = static_cast<int16_t>(memberName.size());
  h.DateTime = static_cast<int32_t>(dosDateTime);
  h.Attributes = attributes;
  h.ExpandedSize = static_cast<int32_t>(size);
  int64_t headerAt = out_.Position();
  std::string header = SerializeMemberHeader(h);
  out_.WriteAll(header.data(), static_cast<int64_t>(header.size()));
  out_.WriteAll(memberName.data(), static_cast<int64_t>(memberName.size()));
  int64_t dataAt = out_.Position(), inputAt = in.Position();

  uint32_t sum = 0;
  TPackMethod method = method_;
  int64_t stored = 0;
  if (method == coRLE || method == coLZH || method == coLZH5) {
    // The key scrambles the coded bytes as the codec writes them.
    PlainCodecOwner owner(key_, [this, size](int32_t& percent) {
      if (progress_) progress_(size * percent / 100, size);
    });
    try {
      stored = RunCodec(owner, out_, in, false, kCompress, method, 0, h.ExpandedSize, sum);
      if (in.Position() - inputAt != size) throw EGeneralError(memberName + " ended before its size");
    } catch (const EUnableToCompress&) {
      method = coNone;  // what was written is overwritten by the stored bytes, which are longer
    }
  } else {
    method = coNone;
  }
  if (method == coNone) {
    out_.Seek(dataAt, kSeekBegin);
    in.Seek(inputAt, kSeekBegin);
    sum = CopyStored(in, out_, size, progress_);
    stored = size;
  } else if (progress_) {
    progress_(size, size);
  }
  int64_t end = out_.Position();
  h.Method = method;
  h.StoredSize = static_cast<int32_t>(stored);
  h.LockFlag = key_ != 0 ? (method == coNone ? kLockChecksum : kLockScrambled) : kLockOpen;
  h.Checksum = static_cast<int32_t>(sum + (h.LockFlag > kLockOpen ? static_cast<uint32_t>(key_) : 0u));
  header = SerializeMemberHeader(h);
  out_.Seek(headerAt, kSeekBegin);
  out_.WriteAll(header.data(), static_cast<int64_t>(header.size()));
  out_.Seek(end, kSeekBegin);
  total_ += h.ExpandedSize;
}

void ArchiveWriter::Finish() {
  int64_t end = out_.Position();
  out_.Seek(headerAt_ + 8, kSeekBegin);
  uint8_t total[4];
  for (int i = 0; i < 4; ++i) total[i] = static_cast<uint8_t>(static_cast<uint64_t>(total_) >> (8 * i));
  out_.WriteAll(total, 4);
  out_.Seek(end, kSeekBegin);
}

}  // namespace tovin
