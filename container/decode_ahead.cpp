#include "container/decode_ahead.h"

#include <algorithm>

#include "codec/method_table.h"
#include "platform/scope_guard.h"

namespace tovin {

namespace {
// Memory a member decoded by a worker holds: its stored and its expanded bytes.
int64_t Cost(const TMemberHeader& h) { return static_cast<int64_t>(h.StoredSize) + h.ExpandedSize; }
}  // namespace

DecodeAhead::DecodeAhead(Stream& in, DecodeAheadOptions options, ReadHeader readHeader, Selected selected,
                         Decode decode)
    : in_(in),
      options_(options),
      readHeader_(std::move(readHeader)),
      selected_(std::move(selected)),
      decode_(std::move(decode)) {
  if (options_.MaxAhead < 1) options_.MaxAhead = 1;
  try {
    for (int i = 0; i < options_.Threads; ++i) workers_.emplace_back([this] { Work(); });
  } catch (...) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    work_.notify_all();
    for (auto& t : workers_) t.join();
    throw;
  }
}

DecodeAhead::~DecodeAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    for (auto& m : ahead_) m->abandoned = true;
  }
  work_.notify_all();
  for (auto& t : workers_) t.join();
}

AheadMember& DecodeAhead::Next() {
  ReadAhead();
  AheadMember& m = *ahead_.front();
  if (m.headerError) std::rethrow_exception(m.headerError);
  return m;
}

void DecodeAhead::ReadAhead() {
  using Kind = AheadMember::Kind;
  while (ahead_.size() < options_.MaxAhead && (ahead_.empty() || ahead_.back()->kind == Kind::Skipped ||
                                                ahead_.back()->kind == Kind::Decoded ||
                                                ahead_.back()->kind == Kind::Buffered)) {
    int64_t headerAt = in_.Position();
    auto m = std::make_shared<AheadMember>();
    m->headerAt = headerAt;
    m->kind = Kind::Inline;
    try {
      if (!readHeader_(in_, m->header, m->name)) m->kind = Kind::End;
    } catch (...) {
      m->kind = Kind::End;
      m->headerError = std::current_exception();
    }
    if (m->kind == Kind::End) {
      ahead_.push_back(std::move(m));
      return;
    }
    m->dataStart = in_.Position();
    const TMemberHeader& h = m->header;
    if (!selected_(m->name)) {
      m->kind = Kind::Skipped;
      in_.Seek(SkipEnd(*m), kSeekBegin);
      ahead_.push_back(std::move(m));
      continue;
    }
    bool coded = DecodedByCodec(h.Method);
    bool decode = coded && Cost(h) <= options_.MemoryLimit;
    if (decode || ((coded || h.Method == coNone) && h.StoredSize <= options_.MemoryLimit)) {
      int64_t cost = decode ? Cost(h) : h.StoredSize;
      if (held_ + cost > options_.MemoryLimit && !ahead_.empty()) {
        in_.Seek(headerAt, kSeekBegin);  // read again once memory is given back
        return;
      }
      try {
        m->stored = Buffer(static_cast<size_t>(h.StoredSize));
        m->stored.Resize(static_cast<size_t>(h.StoredSize));
        int64_t got = 0;
        while (got < h.StoredSize) {
          int64_t n = in_.Read(m->stored.Data() + got, h.StoredSize - got);
          if (n <= 0) break;
          got += n;
        }
        m->stored.Resize(static_cast<size_t>(got));  // a cut archive: the decoder meets its end as inline
        in_.Seek(SkipEnd(*m), kSeekBegin);
        m->kind = decode ? Kind::Decoded : Kind::Buffered;
        m->held = cost;
        held_ += cost;
      } catch (...) {
        // Read again inline, where the error is raised in its proper place.
        m->stored = LargeBuffer();
        in_.Seek(m->dataStart, kSeekBegin);
      }
    }
    if (m->kind == Kind::Decoded) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.push_back(m);
      }
      work_.notify_one();
    }
    ahead_.push_back(std::move(m));
  }
}

void DecodeAhead::Done(int64_t nextHeader) {
  std::shared_ptr<AheadMember> done = std::move(ahead_.front());
  ahead_.pop_front();
  held_ -= done->held;
  int64_t guessed = ahead_.empty() ? in_.Position() : ahead_.front()->headerAt;
  if (guessed == nextHeader) return;
  // The member ended elsewhere than its stored size says: what was read after it is wrong.
  Drop();
  in_.Seek(nextHeader, kSeekBegin);
}

void DecodeAhead::Drop() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& m : ahead_) m->abandoned = true;
  ahead_.clear();
  held_ = 0;
}

int64_t DecodeAhead::Take(AheadMember& m, Stream& out) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&m] { return m.finished; });
  }
  LargeBuffer decoded = m.output.Release();
  ScopeGuard giveBack([&] { GiveBack(std::move(decoded)); });
  out.WriteAll(decoded.Data(), static_cast<int64_t>(decoded.Size()));
  if (m.error) std::rethrow_exception(m.error);
  return m.dataStart + m.consumed;
}

LargeBuffer DecodeAhead::Buffer(size_t count) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t best = spare_.size();
    for (size_t i = 0; i < spare_.size(); ++i)
      if (spare_[i].Capacity() >= count && (best == spare_.size() || spare_[i].Capacity() < spare_[best].Capacity()))
        best = i;
    if (best < spare_.size()) {
      LargeBuffer buffer = std::move(spare_[best]);
      spare_.erase(spare_.begin() + static_cast<std::ptrdiff_t>(best));
      spareBytes_ -= buffer.Capacity();
      buffer.Clear();
      return buffer;
    }
  }
  return LargeBuffer(SpareSize(count));
}

size_t DecodeAhead::SpareSize(size_t count) {
  // Sizes rounded up to a quarter of their power of two, so a buffer fits more members
  // than the one it was made for, at a quarter more memory at most.
  if (count < 4096) return count;
  size_t step = size_t{1} << (63 - __builtin_clzll(count) - 2);
  return (count + step - 1) & ~(step - 1);
}

void DecodeAhead::GiveBack(LargeBuffer buffer) {
  std::lock_guard<std::mutex> lock(mutex_);
  const size_t limit = static_cast<size_t>(options_.MemoryLimit);
  if (buffer.Capacity() == 0 || buffer.Capacity() > limit) return;
  // A full pool makes room by letting its smallest buffers go: a large buffer is the one
  // whose pages cost most to fault in again.
  while (spareBytes_ + buffer.Capacity() > limit) {
    auto smallest = std::min_element(spare_.begin(), spare_.end(),
                                     [](const LargeBuffer& a, const LargeBuffer& b) { return a.Capacity() < b.Capacity(); });
    if (smallest == spare_.end() || smallest->Capacity() >= buffer.Capacity()) return;
    spareBytes_ -= smallest->Capacity();
    spare_.erase(smallest);
  }
  spareBytes_ += buffer.Capacity();
  spare_.push_back(std::move(buffer));
}

void DecodeAhead::Work() {
  for (;;) {
    std::shared_ptr<AheadMember> m;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_.wait(lock, [this] { return stop_ || !pending_.empty(); });
      if (stop_) return;
      m = std::move(pending_.front());
      pending_.pop_front();
    }
    if (!m->abandoned) {
      m->output = BufferStream(Buffer(static_cast<size_t>(m->header.ExpandedSize)));
      BufferStream stored(std::move(m->stored));
      try {
        decode_(*m, stored);
      } catch (...) {
        m->error = std::current_exception();
      }
      m->consumed = stored.Position();
      GiveBack(stored.Release());
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      m->finished = true;
    }
    finished_.notify_all();
  }
}

}  // namespace tovin
