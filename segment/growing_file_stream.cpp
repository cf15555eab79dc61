#include "segment/growing_file_stream.h"

#include <algorithm>

namespace tovin {

void GrowingFileStream::MoveFileTo(int64_t at) {
  if (fileAt_ != at) fileAt_ = file_.Seek(at, kSeekBegin);
}

void GrowingFileStream::FillTo(int64_t upTo) {
  upTo = std::min(upTo, size_);
  if (upTo <= filled_) return;
  if (failed_) std::rethrow_exception(failed_);
  MoveFileTo(filled_);
  try {
    filled_ = std::min(fill_(upTo), size_);
  } catch (...) {
    // What the writer left behind is unknown: the part filled before stays readable, and
    // nothing past it is tried again.
    failed_ = std::current_exception();
    fileAt_ = -1;
    throw;
  }
  fileAt_ = filled_;
}

int64_t GrowingFileStream::Read(void* buffer, int64_t count) {
  count = std::min(count, size_ - position_);
  if (count <= 0) return 0;
  FillTo(position_ + count);
  MoveFileTo(position_);
  int64_t got = file_.Read(buffer, std::min(count, filled_ - position_));
  if (got > 0) {
    position_ += got;
    fileAt_ = position_;
  }
  return got;
}

int64_t GrowingFileStream::Seek(int64_t offset, int origin) {
  int64_t base = origin == kSeekBegin ? 0 : origin == kSeekCurrent ? position_ : size_;
  position_ = std::max<int64_t>(0, base + offset);
  return position_;
}

}  // namespace tovin
