#include "segment/coding_queue.h"

#include <chrono>

#include "platform/platform.h"

namespace tovin {

CodingQueue::CodingQueue(CodingQueueOptions options) : options_(std::move(options)) {
  if (options_.MaxInFlight < 1) options_.MaxInFlight = 1;
  try {
    for (int i = 0; i < options_.Threads; ++i) workers_.emplace_back([this] { Work(); });
  } catch (...) {
    stop_ = true;
    work_.notify_all();
    for (auto& t : workers_) t.join();
    throw;
  }
}

CodingQueue::~CodingQueue() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  work_.notify_all();
  for (auto& t : workers_) t.join();
  inFlight_.clear();
  spills_.clear();
  for (const auto& p : spillPaths_) plat::DeleteFile(p);
}

Stream& CodingQueue::SpillFile(size_t n) {
  if (n > spills_.size()) {
    // Created here: the platform layer's file calls stay on the writer's thread.
    spillPaths_.push_back(options_.SpillPrefix + "$" + std::to_string(n) + "$");
    spills_.push_back(std::make_unique<FileStream>(spillPaths_.back(), FileStream::Mode::Create));
  }
  return *spills_[n - 1];
}

void CodingQueue::Push(const std::string& path, const std::string& member) {
  auto job = std::make_unique<CodedFile>();
  job->Member = member;
  try {
    job->File = OpenMemberFile(path);
    ArchiveWriter::CheckMember(member, job->File.Size);
    if (job->File.Size > options_.MemoryLimit) {
      if (freeSpills_.empty()) {
        job->Spill = spills_.size() + 1;
      } else {
        job->Spill = freeSpills_.back();
        freeSpills_.pop_back();
      }
      job->Stored = &SpillFile(job->Spill);
      job->Stored->Seek(0, kSeekBegin);
    } else {
      // Coded bytes never outgrow the member (it is stored instead), so this never reallocates.
      std::string buffer;
      buffer.reserve(static_cast<size_t>(job->File.Size));
      job->Memory = std::make_unique<MemoryStream>(std::move(buffer));
      job->Stored = job->Memory.get();
    }
  } catch (...) {
    job->Error = std::current_exception();
    job->Finished = true;
  }
  CodedFile* raw = job.get();
  bytesInFlight_ += raw->File.Size;
  inFlight_.push_back(std::move(job));
  if (raw->Finished) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back(raw);
  }
  work_.notify_one();
}

CodedFile& CodingQueue::Front(const std::function<void(int64_t done)>& waiting) {
  CodedFile& job = *inFlight_.front();
  std::unique_lock<std::mutex> lock(mutex_);
  while (!job.Finished) {
    if (finished_.wait_for(lock, std::chrono::milliseconds(100)) == std::cv_status::timeout && waiting) {
      lock.unlock();
      waiting(job.Done.load(std::memory_order_relaxed));
      lock.lock();
    }
  }
  lock.unlock();
  if (job.Error) std::rethrow_exception(job.Error);
  job.Stored->Seek(0, kSeekBegin);
  return job;
}

void CodingQueue::Pop() {
  if (inFlight_.front()->Spill) freeSpills_.push_back(inFlight_.front()->Spill);
  bytesInFlight_ -= inFlight_.front()->File.Size;
  inFlight_.pop_front();
}

void CodingQueue::Work() {
  for (;;) {
    CodedFile* job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_.wait(lock, [this] { return stop_ || !pending_.empty(); });
      if (stop_) return;
      job = pending_.front();
      pending_.pop_front();
    }
    try {
      job->Data = ArchiveWriter::Code(*job->File.In, job->File.Size, *job->Stored, options_.Method, options_.Key,
                                      job->Member, [this, job](int64_t done, int64_t) {
                                        if (stop_.load(std::memory_order_relaxed)) throw Abandoned{};
                                        job->Done.store(done, std::memory_order_relaxed);
                                      });
    } catch (...) {
      job->Error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job->Finished = true;
    }
    finished_.notify_all();
  }
}

}  // namespace tovin
