// An owned run of bytes for buffers of megabytes that are used member after member: its memory
// comes from AllocateLarge, and growing its size writes nothing (the bytes are undefined until
// written).
#pragma once
#include <cstddef>
#include <cstdint>

namespace tovin {

class LargeBuffer {
 public:
  LargeBuffer() = default;
  explicit LargeBuffer(size_t capacity);
  ~LargeBuffer();
  LargeBuffer(LargeBuffer&& other) noexcept;
  LargeBuffer& operator=(LargeBuffer&& other) noexcept;
  LargeBuffer(const LargeBuffer&) = delete;
  LargeBuffer& operator=(const LargeBuffer&) = delete;

  uint8_t* Data() { return data_; }
  const uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }
  size_t Capacity() const { return capacity_; }
  // A size beyond the capacity moves the bytes to a larger buffer.
  void Resize(size_t size);
  void Clear() { size_ = 0; }

 private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0, capacity_ = 0;
};

}  // namespace tovin
