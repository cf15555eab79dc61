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

int64_t MemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || pos_ >= data_.size()) return 0;
  size_t n = std::min(static_cast<size_t>(count), data_.size() - pos_);
  std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  return static_cast<int64_t>(n);
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

int64_t MemoryStream::Seek(int64_t offset, int origin) {
  int64_t base = origin == kSeekBegin     ? 0
                 : origin == kSeekCurrent ? static_cast<int64_t>(pos_)
                                          : static_cast<int64_t>(data_.size());
  int64_t target = base + offset;
  if (target < 0) return -1;
  pos_ = static_cast<size_t>(target);
  return target;
}

int64_t BufferStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || pos_ >= data_.Size()) return 0;
  size_t n = std::min(static_cast<size_t>(count), data_.Size() - pos_);
  std::memcpy(buffer, data_.Data() + pos_, n);
  pos_ += n;
  return static_cast<int64_t>(n);
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

int64_t BufferStream::Seek(int64_t offset, int origin) {
  int64_t base = origin == kSeekBegin     ? 0
                 : origin == kSeekCurrent ? static_cast<int64_t>(pos_)
                                          : static_cast<int64_t>(data_.Size());
  int64_t target = base + offset;
  if (target < 0) return -1;
  pos_ = static_cast<size_t>(target);
  return target;
}

}  // namespace tovin
