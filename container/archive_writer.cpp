#include "container/archive_writer.h"

#include <cstring>

#include "codec/codec_errors.h"
#include "codec/run_codec.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace tovin {

ArchiveWriter::ArchiveWriter(Stream& out, TPackMethod method, int32_t key)
    : out_(out), method_(method), owner_(key), key_(key) {
  headerAt_ = out_.Position();
  TArchiveHeader h;
  std::memcpy(h.MethodId, MethodIdOf(method), 3);
  h.LockFlag = key > 0 ? 2 : 0;
  std::string bytes = SerializeArchiveHeader(h);
  out_.WriteAll(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void ArchiveWriter::AddFile(const std::string& path, const std::string& memberName) {
  FileStream in(path, FileStream::Mode::OpenRead);
  int64_t size = in.Size();
  if (size > 2147483647) throw EGeneralError(path + " is larger than an archive member can be (2 GiB)");
  std::string data(static_cast<size_t>(size), '\0');
  if (size > 0 && in.Read(data.data(), size) != size) throw EReadError("Stream read error");
  uint32_t attributes = plat::GetFileAttributes(path);
  if (attributes == plat::kInvalidAttributes || attributes == plat::kAttrNormal) attributes = 0;
  AddData(data, memberName, in.File().GetDosDateTime(),
          static_cast<uint16_t>(attributes & (plat::kAttrReadOnly | plat::kAttrHidden | plat::kAttrSystem |
                                              plat::kAttrArchive)));
}

void ArchiveWriter::AddData(const std::string& data, const std::string& memberName, uint32_t dosDateTime,
                            uint16_t attributes) {
  if (memberName.size() > 32767) throw EGeneralError("member name too long: " + memberName.substr(0, 80) + "...");
  TMemberHeader h;
  h.NameLength = static_cast<int16_t>(memberName.size());
  h.DateTime = static_cast<int32_t>(dosDateTime);
  h.Attributes = attributes;
  h.ExpandedSize = static_cast<int32_t>(data.size());
  uint32_t sum = 0;
  std::string stored;
  TPackMethod method = method_;
  if (method == coRLE || method == coLZH || method == coLZH5) {
    MemoryStream in(data), packed;
    try {
      RunCodec(owner_, packed, in, false, kCompress, method, 0, h.ExpandedSize, sum);
      stored = packed.Data();
    } catch (const EUnableToCompress&) {
      method = coNone;
    }
  } else {
    method = coNone;
  }
  if (method == coNone) {
    stored = data;
    sum = 0;
    for (unsigned char c : data) sum += c;
  }
  h.Method = method;
  h.StoredSize = static_cast<int32_t>(stored.size());
  h.LockFlag = key_ != 0 ? (method == coNone ? 1 : 2) : 0;
  h.Checksum = static_cast<int32_t>(sum + (h.LockFlag > 0 ? static_cast<uint32_t>(key_) : 0u));
  std::string header = SerializeMemberHeader(h);
  out_.WriteAll(header.data(), static_cast<int64_t>(header.size()));
  out_.WriteAll(memberName.data(), static_cast<int64_t>(memberName.size()));
  out_.WriteAll(stored.data(), static_cast<int64_t>(stored.size()));
  total_ += h.ExpandedSize;
  if (total_ > 2147483647) throw EGeneralError("the archive holds more than 2 GiB of data");
}

void ArchiveWriter::Finish() {
  int64_t end = out_.Position();
  out_.Seek(headerAt_ + 8, 0);
  uint8_t total[4];
  for (int i = 0; i < 4; ++i) total[i] = static_cast<uint8_t>(static_cast<uint64_t>(total_) >> (8 * i));
  out_.WriteAll(total, 4);
  out_.Seek(end, 0);
}

}  // namespace tovin
