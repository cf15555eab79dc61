// Reads an archive's members ahead of the thread that expands them and decodes the coded ones
// on worker threads, so decoding overlaps the file system's work and uses every core. The
// expanding thread still takes each member in order and decides everything about it (events,
// names, skips, files); what was read and decoded ahead is only a guess of where the next
// header lies, checked against where the member really ended before it is used.
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

#include "container/archive_format.h"
#include "platform/stream.h"

namespace tovin {

// One member as read ahead.
struct AheadMember {
  enum class Kind {
    End,      // no further header: ReadMemberHeader gave false or raised Error
    Inline,   // to be expanded from the archive stream, which stands at its stored data
    Skipped,  // left out by the selection: its stored data was passed over
    Decoded,  // its stored data was read and handed to a worker
    Buffered, // its stored data was read, to be expanded by the expanding thread from memory
  };
  Kind kind = Kind::End;
  TMemberHeader header;
  std::string name;
  std::exception_ptr headerError;  // from reading the header
  int64_t headerAt = 0;
  int64_t dataStart = 0;
  int64_t held = 0;  // bytes of memory it is counted for

  // Decoded and buffered members; a decoded one is the worker's until finished.
  LargeBuffer stored;
  BufferStream output;
  int64_t consumed = 0;  // stored bytes the decoder read
  std::exception_ptr error;
  bool finished = false;
  std::atomic<bool> abandoned{false};
};

struct DecodeAheadOptions {
  int Threads = 2;
  // Bytes held in memory at once: stored plus expanded bytes of a member decoded by a worker,
  // stored bytes of one buffered. A member that does not fit alone goes inline.
  int64_t MemoryLimit = 64 << 20;
  size_t MaxAhead = 8;  // members read ahead of the one being expanded
};

class DecodeAhead {
 public:
  using ReadHeader = std::function<bool(Stream& in, TMemberHeader& header, std::string& name)>;
  using Selected = std::function<bool(const std::string& name)>;
  // Decodes stored into output as the expanding thread would, on a worker; may raise.
  using Decode = std::function<void(AheadMember& member, Stream& stored)>;

  // Members coded by this codec go to the workers, stored ones are buffered. Custom methods run
  // the host's event, which belongs on the host's thread and may read the archive stream as it
  // likes: they go inline, as do members larger than the memory limit allows.
  DecodeAhead(Stream& in, DecodeAheadOptions options, ReadHeader readHeader, Selected selected, Decode decode);
  // Abandons what is being decoded and waits for the workers.
  ~DecodeAhead();
  DecodeAhead(const DecodeAhead&) = delete;
  DecodeAhead& operator=(const DecodeAhead&) = delete;

  // The next member in order; raises what reading its header raised.
  AheadMember& Next();
  // The member from Next is done. Its stored data ended at nextHeader (the archive stream's
  // position for an inline member); members read ahead from elsewhere are dropped.
  void Done(int64_t nextHeader);
  // Where a member taken by Next ends when its stored data is passed over.
  static int64_t SkipEnd(const AheadMember& m) { return m.dataStart + m.header.StoredSize; }
  // Waits for a decoded member; writes what it decoded to out and raises what decoding raised.
  // Returns where its stored data ended.
  int64_t Take(AheadMember& m, Stream& out);

 private:
  void ReadAhead();
  // A buffer for count bytes from the spare ones (a fresh allocation would be mapped and its
  // pages faulted in anew for every member), and one given back for the next member.
  LargeBuffer Buffer(size_t count);
  void GiveBack(LargeBuffer buffer);
  static size_t SpareSize(size_t count);
  void Drop();
  void Work();

  Stream& in_;
  DecodeAheadOptions options_;
  ReadHeader readHeader_;
  Selected selected_;
  Decode decode_;
  std::deque<std::shared_ptr<AheadMember>> ahead_;  // the expanding thread's, in order
  int64_t held_ = 0;                                // stored + expanded bytes of ahead_
  std::mutex mutex_;
  std::condition_variable work_, finished_;
  std::deque<std::shared_ptr<AheadMember>> pending_;  // under mutex_
  bool stop_ = false;                                 // under mutex_
  std::vector<LargeBuffer> spare_;  // under mutex_
  size_t spareBytes_ = 0;          // their capacity, held to the memory limit
  std::vector<std::thread> workers_;
};

}  // namespace tovin
