#include "platform/stream.h"

#include <algorithm>
#include <cstring>

#include "platform/exception.h"

namespace tovin {

FileStream::FileStream(const std::string& path, Mode mode) {
  using plat::Access;
  using plat::Disposition;
  using plat::Share;
  switch (mode) {
    case Mode::OpenRead:
      file_ = plat::OpenFile(path, Access::Read, Share::DenyWrite, Disposition::OpenExisting);
      break;
    case Mode::OpenReadExclusive:
      file_ = plat::OpenFile(path, Access::Read, Share::Exclusive, Disposition::OpenExisting);
      break;
    case Mode::OpenReadWrite:
      file_ = plat::OpenFile(path, Access::ReadWrite, Share::Exclusive, Disposition::OpenExisting);
      break;
    case Mode::Create:
      file_ = plat::OpenFile(path, Access::ReadWrite, Share::Exclusive, Disposition::CreateAlways);
      if (!file_) throw EFCreateError(Format(kMsgCannotCreateFile, path));
      return;
  }
  if (!file_) throw EFOpenError(Format(kMsgCannotOpenFile, path));
}

int64_t FileStream::Read(void* buffer, int64_t count) {
  int64_t n = file_->Read(buffer, count);
  if (n < 0) throw EReadError(kMsgStreamReadError);
  return n;
}

void FileStream::WriteAll(const void* buffer, int64_t count) {
  if (count > 0 && file_->Write(buffer, count) != count) throw EWriteError(kMsgStreamWriteError);
}

int64_t FileStream::Seek(int64_t offset, int origin) { return file_->Seek(offset, origin); }

int64_t FileStream::Size() { return file_->Size(); }

namespace {
// Reading and seeking in bytes held in memory, whatever holds them.
int64_t ReadFrom(const void* data, size_t size, size_t& pos, void* buffer, int64_t count) {
  if (count <= 0 || pos >= size) return 0;
  size_t n = std::min(static_cast<size_t>(count), size - pos);
  std::memcpy(buffer, static_cast<const uint8_t*>(data) + pos, n);
  pos += n;
  return static_cast<int64_t>(n);
}

int64_t SeekIn(size_t size, size_t& pos, int64_t offset, int origin) {
  int64_t base = origin == kSeekBegin     ? 0
                 : origin == kSeekCurrent ? static_cast<int64_t>(pos)
                                          : static_cast<int64_t>(size);
  int64_t target = base + offset;
  if (target < 0) return -1;
  pos = static_cast<size_t>(target);
  return target;
}
}  // namespace

int64_t MemoryStream::Read(void* buffer, int64_t count) {
  return ReadFrom(data_.data(), data_.size(), pos_, buffer, count);
}

void MemoryStream::WriteAll(const void* buffer, int64_t count) {
  if (count <= 0) return;
  size_t n = static_cast<size_t>(count);
  if (pos_ == data_.size()) {  // appending: no zeros written first
    data_.append(static_cast<const char*>(buffer), n);
    pos_ += n;
    return;
  }
  if (pos_ + n > data_.size()) data_.resize(pos_ + n);
  std::memcpy(data_.data() + pos_, buffer, n);
  pos_ += n;
}

int64_t MemoryStream::Seek(int64_t offset, int origin) { return SeekIn(data_.size(), pos_, offset, origin); }

int64_t BufferStream::Read(void* buffer, int64_t count) {
  return ReadFrom(data_.Data(), data_.Size(), pos_, buffer, count);
}

void BufferStream::WriteAll(const void* buffer, int64_t count) {
  if (count <= 0) return;
  size_t n = static_cast<size_t>(count), size = data_.Size();
  if (pos_ + n > size) {
    data_.Resize(pos_ + n);
    if (pos_ > size) std::memset(data_.Data() + size, 0, pos_ - size);  // a gap left by a seek reads as zeros
  }
  std::memcpy(data_.Data() + pos_, buffer, n);
  pos_ += n;
}

int64_t BufferStream::Seek(int64_t offset, int origin) { return SeekIn(data_.Size(), pos_, offset, origin); }

}  // namespace tovin
