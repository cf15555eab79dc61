#include "container/background_writer.h"

#include <cstring>

namespace tovin {

BackgroundWriter::BackgroundWriter(Stream& target) : target_(target) {
  filling_.reserve(kBufferSize);
  writing_.reserve(kBufferSize);
  thread_ = std::thread([this] { Work(); });
}

BackgroundWriter::~BackgroundWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundWriter::WriteAll(const void* buffer, int64_t count) {
  const char* p = static_cast<const char*>(buffer);
  while (count > 0) {
    size_t take = std::min(static_cast<size_t>(count), kBufferSize - filling_.size());
    filling_.append(p, take);
    p += take;
    count -= static_cast<int64_t>(take);
    accepted_ += static_cast<int64_t>(take);
    if (filling_.size() == kBufferSize) HandOver();
  }
}

void BackgroundWriter::HandOver() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !pending_ || error_; });
  if (error_) std::rethrow_exception(error_);
  writing_.swap(filling_);
  filling_.clear();
  pending_ = true;
  lock.unlock();
  changed_.notify_all();
}

void BackgroundWriter::Finish() {
  if (!filling_.empty()) HandOver();
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !pending_ || error_; });
  if (error_) std::rethrow_exception(error_);
}

void BackgroundWriter::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return pending_ || stop_; });
    if (stop_) return;
    lock.unlock();
    std::exception_ptr failed;
    try {
      target_.WriteAll(writing_.data(), static_cast<int64_t>(writing_.size()));
    } catch (...) {
      failed = std::current_exception();
    }
    lock.lock();
    pending_ = false;
    error_ = failed;
    changed_.notify_all();
    if (failed) return;
  }
}

}  // namespace tovin
