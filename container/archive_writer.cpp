#include "container/archive_writer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "codec/codec_errors.h"
#include "codec/method_table.h"
#include "codec/run_codec.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace tovin {
namespace {

constexpr int64_t kMaxMember = 2147483647;

// Sized to what it copies: most members are small, and a buffer of the full size, zeroed for
// every member, cost more than the copy.
size_t CopyBufferSize(int64_t size) { return static_cast<size_t>(std::clamp<int64_t>(size, 1, 1 << 16)); }

// Copies size bytes, returning their byte sum; raises when the input ends early.
uint32_t CopyStored(Stream& in, Stream& out, int64_t size, const ArchiveWriter::Progress& progress) {
  std::vector<char> buffer(CopyBufferSize(size));
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

void MemberFile::CheckUnchanged() {
  if (In->Size() != Size) throw EGeneralError(Path + " changed size while it was packed");
}

MemberFile OpenMemberFile(const std::string& path) {
  MemberFile f;
  f.Path = path;
  f.In = std::make_unique<FileStream>(path, FileStream::Mode::OpenRead);
  f.Size = f.In->Size();
  if (f.Size > kMaxMember) throw EGeneralError(path + " is larger than an archive member can be (2 GiB)");
  uint32_t attributes = plat::GetFileAttributes(path);
  if (attributes == plat::kInvalidAttributes || attributes == plat::kAttrNormal) attributes = 0;
  f.DosDateTime = f.In->File().GetDosDateTime();
  f.Attributes = static_cast<uint16_t>(attributes & (plat::kAttrReadOnly | plat::kAttrHidden | plat::kAttrSystem |
                                                     plat::kAttrArchive));
  return f;
}

void ArchiveWriter::AddFile(const std::string& path, const std::string& memberName) {
  MemberFile f = OpenMemberFile(path);
  AddStream(*f.In, f.Size, memberName, f.DosDateTime, f.Attributes);
  f.CheckUnchanged();
}

void ArchiveWriter::AddData(const std::string& data, const std::string& memberName, uint32_t dosDateTime,
                            uint16_t attributes) {
  MemoryStream in(data);
  AddStream(in, static_cast<int64_t>(data.size()), memberName, dosDateTime, attributes);
}

void ArchiveWriter::CheckMember(const std::string& memberName, int64_t size) {
  if (memberName.size() > 32767) throw EGeneralError("member name too long: " + memberName.substr(0, 80) + "...");
  if (size > kMaxMember) throw EGeneralError(memberName + " is larger than an archive member can be (2 GiB)");
}

MemberData ArchiveWriter::Code(Stream& in, int64_t size, Stream& out, TPackMethod method, int32_t key,
                               const std::string& memberName, const Progress& progress) {
  MemberData data;
  data.Method = method;
  int64_t dataAt = out.Position(), inputAt = in.Position();
  if (const MethodInfo* coder = FindMethod(method); coder && coder->Encode) {
    // The key scrambles the coded bytes as the codec writes them.
    PlainCodecOwner owner(key, [&progress, size](int32_t& percent) {
      if (progress) progress(size * percent / 100, size);
    });
    try {
      data.StoredSize = RunCodec(owner, out, in, false, kCompress, method, 0, static_cast<int32_t>(size), data.Sum);
      if (in.Position() - inputAt != size) throw EGeneralError(memberName + " ended before its size");
    } catch (const EUnableToCompress&) {
      data.Method = coNone;  // what was written is overwritten by the stored bytes, which are longer
    }
  } else {
    data.Method = coNone;
  }
  if (data.Method == coNone) {
    out.Seek(dataAt, kSeekBegin);
    in.Seek(inputAt, kSeekBegin);
    data.Sum = CopyStored(in, out, size, progress);
    data.StoredSize = size;
  } else if (progress) {
    progress(size, size);
  }
  return data;
}

TMemberHeader ArchiveWriter::BeginMember(int64_t size, const std::string& memberName, uint32_t dosDateTime,
                                         uint16_t attributes) {
  CheckMember(memberName, size);
  if (total_ + size > kMaxMember) throw EGeneralError("the archive holds more than 2 GiB of data");
  TMemberHeader h;
  h.NameLength = static_cast<int16_t>(memberName.size());
  h.DateTime = static_cast<int32_t>(dosDateTime);
  h.Attributes = attributes;
  h.ExpandedSize = static_cast<int32_t>(size);
  std::string header = SerializeMemberHeader(h);
  out_.WriteAll(header.data(), static_cast<int64_t>(header.size()));
  out_.WriteAll(memberName.data(), static_cast<int64_t>(memberName.size()));
  return h;
}

void ArchiveWriter::EndMember(TMemberHeader& h, const MemberData& data, int64_t headerAt) {
  int64_t end = out_.Position();
  h.Method = data.Method;
  h.StoredSize = static_cast<int32_t>(data.StoredSize);
  h.LockFlag = key_ != 0 ? (data.Method == coNone ? kLockChecksum : kLockScrambled) : kLockOpen;
  h.Checksum = static_cast<int32_t>(data.Sum + (h.LockFlag > kLockOpen ? static_cast<uint32_t>(key_) : 0u));
  std::string header = SerializeMemberHeader(h);
  out_.Seek(headerAt, kSeekBegin);
  out_.WriteAll(header.data(), static_cast<int64_t>(header.size()));
  out_.Seek(end, kSeekBegin);
  total_ += h.ExpandedSize;
}

void ArchiveWriter::AddStream(Stream& in, int64_t size, const std::string& memberName, uint32_t dosDateTime,
                              uint16_t attributes) {
  int64_t headerAt = out_.Position();
  TMemberHeader h = BeginMember(size, memberName, dosDateTime, attributes);
  MemberData data = Code(in, size, out_, method_, key_, memberName, progress_);
  EndMember(h, data, headerAt);
}

void ArchiveWriter::AddCoded(const MemberData& coded, Stream& data, int64_t size, const std::string& memberName,
                             uint32_t dosDateTime, uint16_t attributes) {
  int64_t headerAt = out_.Position();
  TMemberHeader h = BeginMember(size, memberName, dosDateTime, attributes);
  std::vector<char> buffer(CopyBufferSize(coded.StoredSize));
  for (int64_t done = 0; done < coded.StoredSize;) {
    int64_t n = data.Read(buffer.data(), std::min<int64_t>(coded.StoredSize - done, static_cast<int64_t>(buffer.size())));
    if (n <= 0) throw EReadError(kMsgStreamReadError);
    out_.WriteAll(buffer.data(), n);
    done += n;
  }
  EndMember(h, coded, headerAt);
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
