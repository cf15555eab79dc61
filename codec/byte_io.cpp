#include "codec/byte_io.h"

#include <algorithm>

namespace tovin {

bool ByteSource::Refill() {
  end_ = true;
  if (remaining_ <= 0) return false;
  if (remaining_ < chunk_) chunk_ = remaining_;
  int64_t got = source_.Read(buffer_, chunk_);
  remaining_ -= static_cast<int32_t>(got);
  if (got <= 0) return false;
  pos_ = 0;
  len_ = static_cast<int32_t>(got);
  if (unscramble_) {
    for (int32_t i = 0; i < len_; ++i) {
      buffer_[i] ^= key_[keyPos_];
      keyPos_ = (keyPos_ + 1) & 3;
    }
  }
  if (const auto& progress = owner_.OnShowProgress()) {
    consumed_ += len_;
    int32_t total = consumed_ + remaining_;
    int32_t percent = total <= 100000 ? consumed_ * 100 / total : consumed_ / (total / 100);
    progress(percent);
    if (percent == -1) {
      stopped_ = true;
      return false;
    }
  }
  plat::Sleep(0);
  end_ = false;
  return true;
}

int32_t ByteSource::GetBlock(uint8_t* dst, int32_t n) {
  int32_t i = 0;
  while (i < n) {
    if (pos_ < len_) {
      if (end_) {  // a byte a stopped refill left behind: real, but the end flag stays set
        dst[i] = Take();
        return i;
      }
      int32_t k = std::min(n - i, len_ - pos_);
      const uint8_t* from = buffer_ + pos_;
      uint32_t sum = 0;
      for (int32_t j = 0; j < k; ++j) sum += from[j];
      std::memcpy(dst + i, from, static_cast<size_t>(k));
      checksum_ += sum;
      pos_ += k;
      i += k;
    } else if (!Refill()) {
      dst[i] = 0;
      return i;
    }
  }
  return n;
}

void ByteSink::PutBlock(const uint8_t* data, size_t n) {
  while (n > 0) {
    if (budget_ <= 0) OverBudget();
    if (fill_ == kCodecBufferSize) WriteFull();
    size_t take = std::min<size_t>({n, static_cast<size_t>(kCodecBufferSize - fill_), static_cast<size_t>(budget_)});
    uint8_t* out = buffer_ + fill_;
    std::memcpy(out, data, take);
    if (scramble_) {
      for (size_t i = 0; i < take; ++i) {
        out[i] ^= key_[keyPos_];
        keyPos_ = (keyPos_ + 1) & 3;
      }
    }
    uint32_t sum = 0;
    for (size_t i = 0; i < take; ++i) sum += out[i];
    checksum_ += sum;
    count_ += static_cast<uint32_t>(take);
    fill_ += static_cast<int32_t>(take);
    budget_ -= static_cast<int32_t>(take);
    data += take;
    n -= take;
  }
}

void ByteSink::Finish() {
  if (fill_ > 0) destination_.WriteAll(buffer_, fill_);
  fill_ = 0;
}

}  // namespace tovin
