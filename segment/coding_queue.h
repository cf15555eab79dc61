// Codes the files of a package on worker threads, a bounded number ahead of the one writer,
// and hands them back in the order they were queued. A member's coded bytes are held in
// memory up to a limit; a larger member is coded into a spill file of its own.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "codec/pack_method.h"
#include "container/archive_writer.h"

namespace tovin {

struct CodingQueueOptions {
  int Threads = 2;
  // Members queued, coded or waiting for the writer: up to MaxInFlight, and past MinInFlight
  // only while their bytes stay under MaxBytesInFlight. Many small members keep every thread
  // busy while a large one holds up the writer; large ones are held to memory and spill room.
  size_t MinInFlight = 6;
  size_t MaxInFlight = 6;
  int64_t MaxBytesInFlight = 0;
  int64_t MemoryLimit = 1 << 20;   // larger members are coded into a spill file
  std::string SpillPrefix;         // spill files are SpillPrefix + "$1$", "$2$", ...
  TPackMethod Method = coLZH5;
  int32_t Key = 0;
};

// One member as the writer receives it.
struct CodedFile {
  std::string Member;
  MemberFile File;
  MemberData Data;
  Stream* Stored = nullptr;  // Data.StoredSize bytes from its start
  std::exception_ptr Error;  // from opening or coding: raised when the member's turn comes

  std::unique_ptr<Stream> Memory;
  size_t Spill = 0;  // 1-based spill file, 0 when in memory
  std::atomic<int64_t> Done{0};
  bool Finished = false;
};

class CodingQueue {
 public:
  explicit CodingQueue(CodingQueueOptions options);
  // Stops the workers (a member being coded is given up) and deletes the spill files.
  ~CodingQueue();
  CodingQueue(const CodingQueue&) = delete;
  CodingQueue& operator=(const CodingQueue&) = delete;

  bool Full() const {
    return inFlight_.size() >= options_.MaxInFlight ||
           (inFlight_.size() >= options_.MinInFlight && bytesInFlight_ >= options_.MaxBytesInFlight);
  }
  // Opens the file here, on the writer's thread; a failure is kept for Front.
  void Push(const std::string& path, const std::string& member);
  // Waits for the oldest member, calling waiting with its bytes read so far every tenth of a
  // second; raises what opening or coding it raised.
  CodedFile& Front(const std::function<void(int64_t done)>& waiting);
  void Pop();

 private:
  struct Abandoned {};
  void Work();
  Stream& SpillFile(size_t n);

  CodingQueueOptions options_;
  std::deque<std::unique_ptr<CodedFile>> inFlight_;  // the writer's, in order
  int64_t bytesInFlight_ = 0;                         // their sizes
  std::vector<std::unique_ptr<FileStream>> spills_;  // opened and closed by the writer
  std::vector<std::string> spillPaths_;
  std::vector<size_t> freeSpills_;
  std::mutex mutex_;
  std::condition_variable work_, finished_;
  std::deque<CodedFile*> pending_;  // under mutex_
  std::atomic<bool> stop_{false};
  std::vector<std::thread> workers_;
};

}  // namespace tovin
