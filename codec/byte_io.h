// The byte layer of one codec call: an 8192-byte buffered source that reads at most the
// member's input size, and an 8192-byte buffered sink with the output budget. Both keep the
// 32-bit additive checksum and apply the key to the compressed side only.
#pragma once
#include <cstdint>
#include <cstring>

#include "codec/codec_errors.h"
#include "codec/codec_owner.h"
#include "platform/platform.h"
#include "platform/stream.h"

namespace tovin {

inline constexpr int32_t kCodecBufferSize = 8192;
// Bytes a decoder may read past the end of its input without calling the input damaged: the
// look-ahead of its bit reader. Beyond that the input is missing, not padding.
inline constexpr int32_t kLookAheadBytes = 2;

class ByteSource {
 public:
  ByteSource(Stream& source, int32_t inputSize, const CodecOwner& owner, bool unscramble)
      : source_(source), remaining_(inputSize), owner_(owner), unscramble_(unscramble) {
    uint32_t key = static_cast<uint32_t>(owner.Key());
    for (int i = 0; i < 4; ++i) key_[i] = static_cast<uint8_t>(key >> (8 * i));
  }

  // The next byte; after the input has ended it returns 0 and EndFlag() is set.
  uint8_t Get() {
    if (pos_ < len_) return Take();
    if (!Refill()) return 0;
    return Take();
  }
  bool EndFlag() const { return end_; }
  // The progress handler answered -1 at some point: the input was cut off on purpose, and
  // decoding goes on from zeros (the member then fails its checksum).
  bool Stopped() const { return stopped_; }
  // Raises ECorruptData unless the input was stopped on purpose: a decoder that wants more
  // than kLookAheadBytes past the end of its input.
  void InputOverrun() const {
    if (!stopped_) throw ECorruptData(kMsgDataEndsEarly);
  }
  // The same as storing Get() into dst[i] for i from 0 until the end flag is seen: returns
  // the count of real bytes; dst[count] then holds what Get answered at the end.
  int32_t GetBlock(uint8_t* dst, int32_t n);

  // Bulk access for a decoder that takes the buffered bytes itself (no checksum kept).
  const uint8_t* Next() const { return buffer_ + pos_; }
  int32_t Buffered() const { return len_ - pos_; }
  void Skip(int32_t n) { pos_ += n; }

  // Reads the next chunk when the buffer is empty: true when real bytes came (the end flag
  // is then clear), false at the end of the input or when the progress handler answered -1.
  bool Refill();

  uint32_t Checksum() const { return checksum_; }

 private:
  uint8_t Take() {
    uint8_t b = buffer_[pos_++];
    checksum_ += b;
    return b;
  }

  Stream& source_;
  int32_t remaining_;
  const CodecOwner& owner_;
  bool unscramble_;
  uint8_t key_[4];
  uint32_t keyPos_ = 0;
  int32_t chunk_ = kCodecBufferSize;
  int32_t consumed_ = 0;
  int32_t pos_ = 0, len_ = 0;
  bool end_ = false;
  bool stopped_ = false;
  uint32_t checksum_ = 0;
  uint8_t buffer_[kCodecBufferSize];
};

class ByteSink {
 public:
  // When expanding, the budget is the expanded size and going past it means damaged input;
  // when compressing it means the output would outgrow the input.
  ByteSink(Stream& destination, int32_t budget, bool scramble, int32_t key, bool expanding = false)
      : destination_(destination), budget_(budget), scramble_(scramble && key != 0), expanding_(expanding) {
    for (int i = 0; i < 4; ++i) key_[i] = static_cast<uint8_t>(static_cast<uint32_t>(key) >> (8 * i));
  }

  void Put(uint8_t b) {
    if (budget_ <= 0) OverBudget();
    --budget_;
    if (fill_ == kCodecBufferSize) WriteFull();
    if (scramble_) {
      b ^= key_[keyPos_];
      keyPos_ = (keyPos_ + 1) & 3;
    }
    buffer_[fill_++] = b;
    checksum_ += b;
    ++count_;
  }
  // The same as Put for each byte, in bulk.
  void PutBlock(const uint8_t* data, size_t n);
  // Writes what is left in the buffer (the end of a successful call).
  void Finish();

  uint32_t Checksum() const { return checksum_; }
  uint32_t Count() const { return count_; }

 private:
  [[noreturn]] void OverBudget() const {
    if (expanding_) throw ECorruptData(kMsgDataTooLong);
    throw EUnableToCompress(kMsgCouldNotCompress);
  }
  void WriteFull() {
    plat::Sleep(0);
    destination_.WriteAll(buffer_, kCodecBufferSize);
    fill_ = 0;
  }

  Stream& destination_;
  int32_t budget_;
  bool scramble_;
  bool expanding_;
  uint8_t key_[4];
  uint32_t keyPos_ = 0;
  int32_t fill_ = 0;
  uint32_t checksum_ = 0;
  uint32_t count_ = 0;
  uint8_t buffer_[kCodecBufferSize];
};

}  // namespace tovin
