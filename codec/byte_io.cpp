#include "codec/byte_io.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>

namespace tovin {

namespace {

// The sum of n bytes, 16 at a time where the processor sums them in one step (summed a byte
// at a time they cost the lh5 decoder a fifteenth of its instructions).
uint32_t ByteSum(const uint8_t* p, size_t n) {
  uint32_t sum = 0;
  size_t i = 0;
#if defined(__SSE2__)
  __m128i wide = _mm_setzero_si128();
  for (; i + 16 <= n; i += 16)
    wide = _mm_add_epi64(wide, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), _mm_setzero_si128()));
  sum = static_cast<uint32_t>(_mm_cvtsi128_si32(wide)) + static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(wide, 8)));
#endif
  for (; i < n; ++i) sum += p[i];
  return sum;
}

}  // namespace

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
      std::memcpy(dst + i, from, static_cast<size_t>(k));
      checksum_ += ByteSum(from, static_cast<size_t>(k));
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
    checksum_ += ByteSum(out, take);
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
