#include "platform/large_buffer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/platform.h"

namespace tovin {

LargeBuffer::LargeBuffer(size_t capacity)
    : data_(static_cast<uint8_t*>(plat::AllocateLarge(capacity))), capacity_(capacity) {}

LargeBuffer::~LargeBuffer() { plat::FreeLarge(data_, capacity_); }

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
  if (this != &other) {
    plat::FreeLarge(data_, capacity_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

void LargeBuffer::Resize(size_t size) {
  if (size > capacity_) {
    LargeBuffer larger(std::max(size, capacity_ + capacity_ / 2));
    if (size_) std::memcpy(larger.data_, data_, size_);
    larger.size_ = size_;
    *this = std::move(larger);
  }
  size_ = size;
}

}  // namespace tovin
