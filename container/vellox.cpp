#include "container/vellox.h"

#include <cstring>
#include <limits>
#include <memory>
#include <unordered_set>

#include "codec/method_table.h"
#include "container/background_writer.h"
#include "container/decode_ahead.h"
#include "codec/run_codec.h"
#include "container/size_limited_stream.h"
#include "container/vellox_errors.h"
#include "platform/directory_path.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tovin {

void TVellox::SetTargetPath(const std::string& value) {
  targetPath_ = value;
  if (!targetPath_.empty() && targetPath_.back() != '\\') targetPath_ += '\\';
}

TArchiveHeader TVellox::ReadArchiveHeader(Stream& in, std::string& methodId) {
  int64_t left = in.Size() - in.Position();
  if (left < kArchiveHeaderSize) {
    TArchiveHeader empty;
    empty.LockFlag = KeyValue > 0 ? kLockScrambled : kLockOpen;
    methodId.assign(empty.MethodId, 3);
    return empty;
  }
  uint8_t bytes[kArchiveHeaderSize];
  if (in.Read(bytes, kArchiveHeaderSize) != kArchiveHeaderSize) throw EReadError(kMsgStreamReadError);
  TArchiveHeader h = ParseArchiveHeader(bytes);
  if (std::memcmp(h.Magic, kArchiveMagic, sizeof kArchiveMagic) != 0) throw EInvalidHeader(kMsgInvalidHeader);
  if (h.ArchiveType != caMulti) throw EInvalidHeaderArchiveType(kMsgArchiveTypeNotMulti);
  methodId.assign(h.MethodId, 3);
  LookupMethodId(methodId);
  return h;
}

bool TVellox::ReadMemberHeader(Stream& in, TMemberHeader& header, std::string& name) {
  uint8_t bytes[kMemberHeaderSize];
  if (in.Read(bytes, kMemberHeaderSize) != kMemberHeaderSize) return false;
  header = ParseMemberHeader(bytes);
  if (header.NameLength < 0) return false;
  name.assign(static_cast<size_t>(header.NameLength), '\0');
  if (header.NameLength > 0 && in.Read(name.data(), header.NameLength) != header.NameLength) return false;
  // A negative stored size would seek backwards onto this header again, for ever; a negative
  // expanded size would turn the running total back and let the members after it run on.
  if (header.StoredSize < 0 || header.ExpandedSize < 0) throw EInvalidMemberSize(kMsgInvalidMemberSize);
  return true;
}

TPackMethod TVellox::LookupMethodId(const std::string& id) {
  if (const MethodInfo* m = FindMethodById(id)) return m->Method;
  if (OnRecognize) {
    bool recognized = false;
    OnRecognize(id, recognized);
    if (recognized) return coCustom;
  }
  throw EUnrecognizedCompressionMethod(Format(kMsgUnrecognizedMethod, id));
}

void TVellox::ListArchive(const std::string& fileName, std::vector<TListedMember>& list) {
  FileStream in(fileName, FileStream::Mode::OpenReadExclusive);
  if (in.Size() - in.Position() < kArchiveHeaderSize + kMemberHeaderSize) return;
  std::string methodId;
  ReadArchiveHeader(in, methodId);
  TMemberHeader h;
  std::string name;
  while (ReadMemberHeader(in, h, name)) {
    TListedMember m;
    m.Name = name;
    m.Info.DateTime = h.DateTime;
    m.Info.Attributes = h.Attributes;
    m.Info.ExpandedSize = h.ExpandedSize;
    m.Info.StoredSize = h.StoredSize;
    m.Info.Method = h.Method;
    m.Info.Checksum = h.Checksum;
    m.Info.HeaderOffset = static_cast<int32_t>(in.Position() - h.NameLength - kMemberHeaderSize);
    m.Info.Locked = h.LockFlag > kLockOpen;
    list.push_back(std::move(m));
    in.Seek(h.StoredSize, kSeekCurrent);
  }
}

bool SameMemberName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

void TVellox::ExpandArchive(const std::string& fileName, std::vector<std::string>* selection) {
  FileStream in(fileName, FileStream::Mode::OpenReadExclusive);
  ExpandArchiveStream(in, selection);
}

namespace {

// Stored members are copied through a buffer of this size.
constexpr int64_t kCopyBufferSize = 8192;

// Accepts and discards what is written: where TestOnly members go.
class NullStream final : public Stream {
 public:
  int64_t Read(void*, int64_t) override { return 0; }
  void WriteAll(const void*, int64_t count) override { size_ += count; }
  int64_t Seek(int64_t, int) override { return size_; }
  int64_t Size() override { return size_; }

 private:
  int64_t size_ = 0;
};

// The selection folded as SameMemberName compares, for one lookup per member instead of a
// search of the whole list.
std::unordered_set<std::string> FoldedSelection(const std::vector<std::string>& selection) {
  std::unordered_set<std::string> folded;
  for (const auto& s : selection) folded.insert(plat::FoldAsciiCase(s));
  return folded;
}

bool Selected(const std::unordered_set<std::string>& selection, const std::string& name) {
  return selection.count(plat::FoldAsciiCase(name)) != 0;
}

}  // namespace

void TVellox::ExpandArchiveStream(Stream& in, std::vector<std::string>* selection) {
  std::vector<std::string> written;
  std::unordered_set<std::string> selected;
  if (selection) selected = FoldedSelection(*selection);
  std::string methodId;
  madeFolder_.clear();
  spaceTargetFolder_.clear();
  TArchiveHeader archive = ReadArchiveHeader(in, methodId);
  std::unique_ptr<DecodeAhead> ahead;
  if (DecodeThreads > 1) ahead = StartDecodeAhead(in, selection ? &selected : nullptr, methodId);
  int64_t total = 0;
  TMemberHeader h;
  std::string name;
  for (;;) {
    AheadMember* m = nullptr;
    if (ahead) {
      m = &ahead->Next();
      if (m->kind == AheadMember::Kind::End) break;
      h = m->header;
      name = m->name;
    } else if (!ReadMemberHeader(in, h, name)) {
      break;
    }
    if (!MemberReached(total, archive.TotalSize, h.ExpandedSize)) break;
    auto skip = [&] {
      if (m) ahead->Done(DecodeAhead::SkipEnd(*m));
      else in.Seek(h.StoredSize, kSeekCurrent);
    };
    // Expands the member into out, from what a worker decoded or from the archive stream.
    auto expand = [&](Stream& out, bool file) {
      if (m && m->kind == AheadMember::Kind::Decoded) {
        int64_t end = ahead->Take(*m, out);
        if (ShowProgress) {
          int32_t done = 100;
          ShowProgress(done);
        }
        ahead->Done(end);
        return;
      }
      // A buffered member's stored data was read ahead into memory; any other is read here.
      bool buffered = m && m->kind == AheadMember::Kind::Buffered;
      BufferStream stored(buffered ? std::move(m->stored) : LargeBuffer());
      Stream& from = buffered ? static_cast<Stream&>(stored) : in;
      if (file) ExpandMemberToFile(out, from, h, methodId);
      else ExpandMember(out, from, h.StoredSize, h.ExpandedSize, h.Checksum, h.Method, methodId, h.LockFlag);
      if (m) ahead->Done(buffered ? m->dataStart + stored.Position() : in.Position());
    };
    if (OnMemberHeader) OnMemberHeader(archive, h, name);
    if (selection && !Selected(selected, name)) {
      skip();
      total += h.ExpandedSize;
      continue;
    }
    std::string target = !name.empty() && name[0] == '\\' ? name : targetPath_ + name;
    if (OnCheckFile) {
      OnCheckFile(target, kProcessExpand);
      if (target.empty()) {
        skip();
        continue;
      }
      if (target == kCheckFileStop) break;
    }
    // Checked before the target is created: nothing is written for a member no method expands.
    if (!FindMethod(h.Method)) throw EUnrecognizedCompressionMethod(Format(kMsgUnrecognizedMemberMethod, std::to_string(h.Method)));
    if (TestOnly) {
      NullStream out;
      expand(out, false);
      written.push_back(target);
      total += h.ExpandedSize;
      continue;
    }
    if (FreeSpaceFor(target, h.ExpandedSize) < h.ExpandedSize)
      throw EInsufficientDiskSpace(Format(kMsgInsufficientDiskSpace, target));
    if (MakeDirectories) {
      auto cut = target.rfind('\\');
      if (cut != std::string::npos && target.compare(0, cut + 1, madeFolder_) != 0) {
        ForceDirectoryPath(target.substr(0, cut + 1));
        madeFolder_ = target.substr(0, cut + 1);
      }
    }
    std::unique_ptr<FileStream> out;
    try {
      out = std::make_unique<FileStream>(target, FileStream::Mode::Create);
    } catch (const EFCreateError&) {
      if (ExceptionOnFileError) throw;
      skip();
      continue;
    }
    try {
      expand(*out, true);
    } catch (const EInvalidKey&) {
      out.reset();
      plat::DeleteFile(target);
      throw;
    } catch (...) {
      out.reset();
      if (DeleteFailedFiles) plat::DeleteFile(target);
      else plat::SetFileAttributes(target, h.Attributes ? static_cast<uint32_t>(h.Attributes) : static_cast<uint32_t>(plat::kAttrNormal));
      throw;
    }
    out->File().SetDosDateTime(static_cast<uint32_t>(h.DateTime));
    written.push_back(target);
    out.reset();
    plat::SetFileAttributes(target, h.Attributes ? static_cast<uint32_t>(h.Attributes) : static_cast<uint32_t>(plat::kAttrNormal));
    total += h.ExpandedSize;
  }
  if (selection) *selection = std::move(written);
}

std::unique_ptr<DecodeAhead> TVellox::StartDecodeAhead(Stream& in, const std::unordered_set<std::string>* selected,
                                                       const std::string& methodId) {
  DecodeAheadOptions options;
  options.Threads = DecodeThreads;
  options.MemoryLimit = DecodeMemoryLimit;
  options.MaxAhead = static_cast<size_t>(DecodeThreads) * 2 + 2;
  struct Abandoned {};
  return std::make_unique<DecodeAhead>(
      in, options, [this](Stream& s, TMemberHeader& h, std::string& n) { return ReadMemberHeader(s, h, n); },
      [selected](const std::string& name) { return !selected || Selected(*selected, name); },
      [this, methodId](AheadMember& m, Stream& stored) {
        PlainCodecOwner owner(KeyValue, [&m](int32_t&) {
          if (m.abandoned.load(std::memory_order_relaxed)) throw Abandoned{};
        });
        const TMemberHeader& h = m.header;
        ExpandMemberAs(owner, m.output, stored, h.StoredSize, h.ExpandedSize, h.Checksum, h.Method, methodId, h.LockFlag);
      });
}

void TVellox::ExpandMemberToFile(Stream& file, Stream& in, const TMemberHeader& h, const std::string& methodId) {
  // A coded member of some size is decoded while a second thread writes it: the decoder and the
  // file system's copying then overlap. Small members are not worth a thread.
  constexpr int32_t kBackgroundFrom = 256 * 1024;
  if (!DecodedByCodec(h.Method) || h.ExpandedSize < kBackgroundFrom) {
    ExpandMember(file, in, h.StoredSize, h.ExpandedSize, h.Checksum, h.Method, methodId, h.LockFlag);
    return;
  }
  BackgroundWriter background(file);
  try {
    ExpandMember(background, in, h.StoredSize, h.ExpandedSize, h.Checksum, h.Method, methodId, h.LockFlag);
  } catch (...) {
    try {
      background.Finish();  // what was decoded before the error is in the file, as without the thread
    } catch (...) {
    }
    throw;
  }
  background.Finish();
}

void TVellox::ExpandMember(Stream& output, Stream& in, int32_t storedSize, int32_t expandedSize,
                           int32_t storedChecksum, uint8_t method, const std::string& methodId, int32_t lockFlag) {
  ExpandMemberAs(*this, output, in, storedSize, expandedSize, storedChecksum, method, methodId, lockFlag);
}

void TVellox::ExpandMemberAs(const CodecOwner& owner, Stream& output, Stream& in, int32_t storedSize,
                             int32_t expandedSize, int32_t storedChecksum, uint8_t method, const std::string& methodId,
                             int32_t lockFlag) {
  if (method != coNone && lockFlag > kLockOpen && KeyValue == 0) throw EInvalidKey(kMsgFileLocked);
  SizeLimitedStream out(output, expandedSize);
  uint32_t computed = 0;
  switch (method) {
    case coNone: {
      std::vector<char> buffer(kCopyBufferSize);
      for (int64_t left = storedSize; left > 0;) {
        int64_t n = in.Read(buffer.data(), std::min<int64_t>(left, kCopyBufferSize));
        if (n <= 0) throw EReadError(kMsgStreamReadError);
        out.WriteAll(buffer.data(), n);
        left -= n;
      }
      return;  // stored members carry no checksum that is tested
    }
    case coRLE:
    case coLZH:
    case coLZH5:
      try {
        RunCodec(owner, out, in, lockFlag == kLockScrambled, kExpand, method, expandedSize, storedSize, computed);
      } catch (const ELZHBadDecodeTable&) {
        if (lockFlag > kLockOpen) throw EInvalidKey(kMsgFileLocked);
        throw;
      } catch (const ECorruptData&) {  // a wrong key garbles the data as much as damage does
        if (lockFlag > kLockOpen) throw EInvalidKey(kMsgFileLocked);
        throw;
      }
      break;
    case coCustom:
      if (OnExpand) {
        int32_t checksum = 0;
        OnExpand(out, in, storedSize, expandedSize, methodId, checksum);
        computed = static_cast<uint32_t>(checksum);
      }
      break;
    default:  // nothing would consume its stored bytes, and the next header would be read from them
      throw EUnrecognizedCompressionMethod(Format(kMsgUnrecognizedMemberMethod, std::to_string(method)));
  }
  uint32_t stored = static_cast<uint32_t>(storedChecksum);
  if (computed == stored) return;
  if (lockFlag > kLockOpen) {
    if (static_cast<uint32_t>(KeyValue) + computed == stored) return;
    throw EInvalidKey(kMsgFileLocked);
  }
  throw EBadChecksum(kMsgBadChecksum);
}

namespace {

// The nearest existing folder of target, not the drive's root: a volume may be mounted below
// it. Empty for the current drive.
std::string NearestExistingFolder(const std::string& target) {
  std::string folder = target;
  for (;;) {
    auto cut = folder.find_last_of("\\/");
    if (cut == std::string::npos || cut == 0) return "";
    folder.resize(cut + 1);
    if (cut == 2 && folder[1] == ':') return folder;
    uint32_t a = plat::GetFileAttributes(folder.substr(0, cut));
    if (a != plat::kInvalidAttributes && (a & plat::kAttrDirectory)) return folder;
    folder.resize(cut);
  }
}

}  // namespace

int64_t TVellox::FreeSpaceFor(const std::string& target, int64_t needed) {
  constexpr int64_t kUnlimited = std::numeric_limits<int64_t>::max();
  if (!CheckSpaceBeforeExpand) return kUnlimited;
  std::string targetFolder = target.substr(0, target.find_last_of("\\/") + 1);
  if (spaceTargetFolder_.empty() || targetFolder != spaceTargetFolder_) {
    spaceFolder_ = NearestExistingFolder(target);
    spaceTargetFolder_ = targetFolder;
  }
  const std::string& folder = spaceFolder_;
  auto free = plat::GetDiskFreeSpace(folder);
  if (!free || *free > static_cast<uint64_t>(kUnlimited / 2)) return kUnlimited;
  int64_t result = static_cast<int64_t>(*free);
  // Room enough without what the member replaces: no need to look the target up.
  if (result >= needed) return result;
  auto found = plat::FindFiles(target, plat::kAttrMaskFiles);
  if (found.size() == 1 && !(found[0].attributes & plat::kAttrDirectory))
    result += static_cast<int64_t>(found[0].size);  // it is replaced
  return result;
}

void TVellox::ForceDirectoryPath(const std::string& folderIn) {
  std::string folder = folderIn;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (folder.size() < 3) return;
  uint32_t a = plat::GetFileAttributes(folder);
  if (a != plat::kInvalidAttributes && (a & plat::kAttrDirectory)) return;
  // One walk down the path makes every missing parent: making them one call at a time, each
  // resolving its path from the top again, grew with the square of the depth.
  if (!plat::CreateDirectoryPath(folder)) throw EInOutError(plat::SystemErrorMessage(plat::GetLastError()));
}

}  // namespace tovin
