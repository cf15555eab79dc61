// The output side of one member: passes writes on until the member's expanded size is
// reached and refuses anything past it, so no member writes more than its header declares.
#pragma once
#include <cstdint>

#include "codec/codec_errors.h"
#include "platform/stream.h"

namespace tovin {

class SizeLimitedStream final : public Stream {
 public:
  SizeLimitedStream(Stream& target, int64_t limit) : target_(target), left_(limit < 0 ? 0 : limit) {}

  int64_t Read(void* buffer, int64_t count) override { return target_.Read(buffer, count); }
  void WriteAll(const void* buffer, int64_t count) override {
    if (count > left_) throw ECorruptData(kMsgDataTooLong);
    target_.WriteAll(buffer, count);
    left_ -= count;
  }
  int64_t Seek(int64_t offset, int origin) override { return target_.Seek(offset, origin); }
  int64_t Size() override { return target_.Size(); }

 private:
  Stream& target_;
  int64_t left_;
};

}  // namespace tovin
