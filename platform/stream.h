// Byte streams as the container and the codec use them: read returns what it got (0 at the
// end), WriteAll writes everything or raises EWriteError.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/large_buffer.h"
#include "platform/platform.h"

namespace tovin {

using plat::kSeekBegin;
using plat::kSeekCurrent;
using plat::kSeekEnd;

class Stream {
 public:
  virtual ~Stream() = default;
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual void WriteAll(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, int origin) = 0;  // kSeekBegin, kSeekCurrent, kSeekEnd
  int64_t Position() { return Seek(0, kSeekCurrent); }
  virtual int64_t Size() = 0;
};

class FileStream final : public Stream {
 public:
  enum class Mode { OpenRead, OpenReadExclusive, OpenReadWrite, Create };
  // Raises EFOpenError "Cannot open file %s" or, for Create, EFCreateError "Cannot create file %s".
  FileStream(const std::string& path, Mode mode);
  int64_t Read(void* buffer, int64_t count) override;
  void WriteAll(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, int origin) override;
  int64_t Size() override;
  plat::File& File() { return *file_; }

 private:
  std::unique_ptr<plat::File> file_;
};

class MemoryStream final : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::string data) : data_(std::move(data)) {}
  int64_t Read(void* buffer, int64_t count) override;
  void WriteAll(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, int origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  const std::string& Data() const { return data_; }
  // Hands the bytes over (their memory with them) and leaves the stream empty.
  std::string Release() {
    std::string bytes = std::move(data_);
    data_.clear();
    pos_ = 0;
    return bytes;
  }

 private:
  std::string data_;
  size_t pos_ = 0;
};

// MemoryStream's behaviour over a LargeBuffer.
class BufferStream final : public Stream {
 public:
  BufferStream() = default;
  explicit BufferStream(LargeBuffer data) : data_(std::move(data)) {}
  int64_t Read(void* buffer, int64_t count) override;
  void WriteAll(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, int origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.Size()); }
  // Hands the bytes over (their memory with them) and leaves the stream empty.
  LargeBuffer Release() {
    pos_ = 0;
    return std::move(data_);
  }

 private:
  LargeBuffer data_;
  size_t pos_ = 0;
};

}  // namespace tovin
