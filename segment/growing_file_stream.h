// A file read while it is still being written: a read past what the file holds so far first
// has the writer fill it further, on the reading thread. The reader sees the whole size from
// the start and may seek anywhere; bytes are read from the file, so seeking back costs nothing.
#pragma once
#include <cstdint>
#include <exception>
#include <functional>

#include "platform/exception.h"
#include "platform/stream.h"

namespace tovin {

class GrowingFileStream final : public Stream {
 public:
  // fill(upTo) appends at the file's position, which is where the filled part ends, until at
  // least upTo bytes (never more than size) are in the file, and returns how many are. What it
  // raises is raised again by every later read that needs more.
  using Fill = std::function<int64_t(int64_t upTo)>;
  GrowingFileStream(FileStream& file, int64_t size, Fill fill) : file_(file), size_(size), fill_(std::move(fill)) {}

  int64_t Read(void* buffer, int64_t count) override;
  void WriteAll(const void*, int64_t) override { throw EWriteError(kMsgStreamWriteError); }
  int64_t Seek(int64_t offset, int origin) override;
  int64_t Size() override { return size_; }
  int64_t Filled() const { return filled_; }
  // Fills the rest of the file.
  void Finish() { FillTo(size_); }

 private:
  void FillTo(int64_t upTo);
  void MoveFileTo(int64_t at);

  FileStream& file_;
  int64_t size_;
  Fill fill_;
  int64_t filled_ = 0;
  int64_t position_ = 0;
  int64_t fileAt_ = 0;  // where the file's own position stands
  std::exception_ptr failed_;
};

}  // namespace tovin
