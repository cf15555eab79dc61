// What the codec needs of the component that calls it: the key and the progress event.
#pragma once
#include <cstdint>
#include <functional>

namespace tovin {

// Receives the percentage done; a handler that leaves -1 ends the input.
using TShowProgressEvent = std::function<void(int32_t& PercentageDone)>;

class CodecOwner {
 public:
  virtual ~CodecOwner() = default;
  virtual int32_t Key() const = 0;  // 0: no key
  virtual const TShowProgressEvent& OnShowProgress() const = 0;
};

// An owner with plain fields, for callers that are no component.
class PlainCodecOwner final : public CodecOwner {
 public:
  explicit PlainCodecOwner(int32_t key = 0, TShowProgressEvent progress = {})
      : key_(key), progress_(std::move(progress)) {}
  int32_t Key() const override { return key_; }
  const TShowProgressEvent& OnShowProgress() const override { return progress_; }

 private:
  int32_t key_;
  TShowProgressEvent progress_;
};

}  // namespace tovin
