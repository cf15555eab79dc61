// The output side of a large member: the decoder fills one buffer while a second thread
// writes the other to the file, so decoding and the file system's copying overlap. Bytes
// reach the target in order; a write error comes back from the next WriteAll or Finish.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include "platform/stream.h"

namespace tovin {

class BackgroundWriter final : public Stream {
 public:
  static constexpr size_t kBufferSize = 1 << 20;

  explicit BackgroundWriter(Stream& target);
  // Stops the writing thread; what was not handed over by Finish is dropped.
  ~BackgroundWriter() override;
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  void WriteAll(const void* buffer, int64_t count) override;
  // Writes what is left and waits for it; raises what the target raised.
  void Finish();
  int64_t Read(void*, int64_t) override { return 0; }
  // The position and size are those of the bytes accepted so far; seeking is not supported.
  int64_t Seek(int64_t, int) override { return accepted_; }
  int64_t Size() override { return accepted_; }

 private:
  void HandOver();  // passes filling_ to the thread, once it has written the previous one
  void Work();

  Stream& target_;
  std::string filling_, writing_;
  int64_t accepted_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool pending_ = false;  // writing_ holds bytes the thread has not written yet
  bool stop_ = false;
  std::exception_ptr error_;
  std::thread thread_;
};

}  // namespace tovin
