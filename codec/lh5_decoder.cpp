// lh5 decoding: a 64-bit bit buffer fed straight from the source's 8192-byte buffer, direct
// lookup tables, and a linear window that doubles as the output buffer, so matches are copied
// in words and the output is handed to the sink in large blocks.
#include <algorithm>
#include <cstring>
#include <memory>

#include "codec/decode_table.h"
#include "codec/lh5_format.h"
#include "codec/methods.h"

namespace tovin {
namespace {

using namespace lh5;

constexpr size_t kSpan = 1 << 16;  // bytes decoded between two hand-overs to the sink
constexpr size_t kWindowBytes = kDicSize + kSpan + kMaxMatch + 32;

class Lh5Decoder {
 public:
  Lh5Decoder(ByteSource& in, ByteSink& out) : in_(in), out_(out) {}

  void Run(int32_t expandedSize) {
    std::memset(window_, ' ', kDicSize);
    size_t wp = kDicSize, handed = kDicSize;
    int64_t produced = 0;
    try {
      while (produced < expandedSize) {
        if (blockLeft_ == 0) ReadBlockHeader();
        FastRun(wp, produced, expandedSize);
        if (produced < expandedSize && blockLeft_ > 0 && wp < kDicSize + kSpan) DecodeSymbol<true>(wp, produced);
        if (produced > expandedSize) {  // a last match that runs past the expanded size is cut
          wp -= static_cast<size_t>(produced - expandedSize);
          produced = expandedSize;
        }
        if (wp >= kDicSize + kSpan) {
          out_.PutBlock(window_ + handed, wp - handed);
          std::memmove(window_, window_ + wp - kDicSize, kDicSize);
          wp = handed = kDicSize;
        }
      }
    } catch (const ELZHBadDecodeTable&) {
      out_.PutBlock(window_ + handed, wp - handed);  // as if written byte by byte before the error
      throw;
    } catch (const ECorruptData&) {
      out_.PutBlock(window_ + handed, wp - handed);
      throw;
    }
    out_.PutBlock(window_ + handed, wp - handed);
    Need();  // the reader keeps 16 bits ahead, which may fetch the last chunk
  }

 private:
  // One C symbol and, for a match, its distance. Unchecked only when 56 bits are loaded.
  template <bool checked>
  __attribute__((always_inline)) void DecodeSymbol(size_t& wp, int64_t& produced) {
    --blockLeft_;
    if constexpr (checked) Need();
    uint32_t e = cTable_.Lookup(Peek16());
    Drop(e >> 9);
    uint32_t c = e & 0x1FF;
    if (c < 256) {
      window_[wp++] = static_cast<uint8_t>(c);
      ++produced;
      return;
    }
    uint32_t length = c - (256 - kThreshold);
    if constexpr (checked) Need();
    uint32_t pe = ptTable_.Lookup(Peek16());
    Drop(pe >> 9);
    uint32_t p = pe & 0x1FF;
    uint32_t distance = 0;
    if (p != 0) {
      if constexpr (checked) Need();
      uint32_t extra = p - 1;
      distance = (1u << extra) + (extra ? static_cast<uint32_t>(bits_ >> (64 - extra)) : 0);
      Drop(extra);
    }
    CopyMatch(window_ + wp, distance + 1, length);
    wp += length;
    produced += length;
  }

  // Decodes symbols while the chunk in the buffer holds at least 8 more bytes, with the bit
  // reader in registers: one 8-byte load per symbol gives the 44 bits a match can need.
  void FastRun(size_t& wpInOut, int64_t& produced, int64_t expandedSize) {
    if (ended_) return;
    const uint8_t* const start = in_.Next();
    const uint8_t* ip = start;
    const uint8_t* const safeEnd = start + in_.Buffered() - 8;
    uint64_t bits = bits_;
    int count = count_;
    uint32_t left = blockLeft_;
    uint8_t* const window = window_;
    const size_t first = wpInOut;
    size_t wp = first;
    // Stop at the end of the window span or once the expanded size is reached.
    const size_t stop = std::min<int64_t>(kDicSize + kSpan - first, expandedSize - produced) + first;
    while (left > 0 && ip <= safeEnd && wp < stop) {
      if (count < 44) {  // 44 bits: a C code, a P code and 12 extra bits
        uint64_t v;
        std::memcpy(&v, ip, 8);
        bits |= __builtin_bswap64(v) >> count;
        int take = (63 - count) >> 3;
        ip += take;
        count += take * 8;
      }
      --left;
      uint32_t e = cTable_.Lookup(static_cast<uint32_t>(bits >> 48));
      bits <<= e >> 9;
      count -= static_cast<int>(e >> 9);
      uint32_t c = e & 0x1FF;
      if (c < 256) {
        window[wp++] = static_cast<uint8_t>(c);
        continue;
      }
      uint32_t length = c - (256 - kThreshold);
      uint32_t pe = ptTable_.Lookup(static_cast<uint32_t>(bits >> 48));
      bits <<= pe >> 9;
      count -= static_cast<int>(pe >> 9);
      uint32_t p = pe & 0x1FF;
      uint32_t distance = 0;
      if (p != 0) {
        uint32_t extra = p - 1;
        distance = (1u << extra) + (extra ? static_cast<uint32_t>(bits >> (64 - extra)) : 0);
        bits <<= extra;
        count -= static_cast<int>(extra);
      }
      CopyMatch(window + wp, distance + 1, length);
      wp += length;
    }
    in_.Skip(static_cast<int32_t>(ip - start));
    bits_ = bits;
    count_ = count;
    blockLeft_ = left;
    produced += static_cast<int64_t>(wp - first);
    wpInOut = wp;
  }

  // Loads bits from the chunk in the buffer, which holds at least 8 bytes; count_ >= 56 after.
  void FillFromChunk() {
    if (count_ > 56) return;
    uint64_t v;
    std::memcpy(&v, in_.Next(), 8);
    v = __builtin_bswap64(v);
    bits_ |= v >> count_;
    int take = (63 - count_) >> 3;
    in_.Skip(take);
    count_ += take * 8;
  }

  static void CopyMatch(uint8_t* dst, uint32_t back, uint32_t length) {
    const uint8_t* src = dst - back;
    if (back >= 16) {
      for (uint32_t i = 0; i < length; i += 16) std::memcpy(dst + i, src + i, 16);
    } else if (back >= 8) {
      for (uint32_t i = 0; i < length; i += 8) std::memcpy(dst + i, src + i, 8);
    } else if (back == 1) {
      std::memset(dst, src[0], length);
    } else {
      for (uint32_t i = 0; i < length; ++i) dst[i] = src[i];
    }
  }

  // Keeps at least 16 bits ahead. A new chunk of the source is fetched only when the bits
  // of the current one are used up to fewer than 16, exactly when a 16-bit look-ahead reader
  // fetches it; past the end (or after the progress handler stopped the input) bits are 0.
  // Past the end of the input only kLookAheadBytes of those zeros may be used up: more is
  // a stream that was cut off, whose decoding would otherwise run on for the full size.
  void Need() {
    if (ended_) {
      if (!in_.Stopped() && 64 - count_ - realAtEnd_ > kLookAheadBytes * 8) in_.InputOverrun();
      if (count_ < 16) count_ = 64;  // the bytes a stopped refill left in the buffer are not read
      return;
    }
    if (count_ >= 16) return;
    for (;;) {
      int32_t avail = in_.Buffered();
      if (avail >= 8) {
        FillFromChunk();
        return;
      }
      while (avail > 0 && count_ <= 56) {
        bits_ |= static_cast<uint64_t>(*in_.Next()) << (56 - count_);
        in_.Skip(1);
        count_ += 8;
        --avail;
      }
      if (count_ >= 16) return;
      if (!in_.Refill()) {
        ended_ = true;
        realAtEnd_ = count_;
        count_ = 64;
        return;
      }
    }
  }
  uint32_t Peek16() const { return static_cast<uint32_t>(bits_ >> 48); }
  void Drop(uint32_t n) {
    bits_ <<= n;
    count_ -= static_cast<int>(n);
  }
  uint32_t Bits(int n) {
    if (n == 0) return 0;
    Need();
    uint32_t v = static_cast<uint32_t>(bits_ >> (64 - n));
    Drop(static_cast<uint32_t>(n));
    return v;
  }

  [[noreturn]] static void Bad() { throw ELZHBadDecodeTable(kMsgBadDecodeTable); }

  void ReadBlockHeader() {
    uint32_t size = Bits(16);
    blockLeft_ = size == 0 ? 65536 : size;  // a 16-bit counter decremented before each symbol
    ReadPtLengths(NT, kCountBitsT, 3);
    ReadCLengths();
    ReadPtLengths(NP, kCountBitsP, -1);
  }

  void ReadPtLengths(int n, int countBits, int special) {
    int k = static_cast<int>(Bits(countBits));
    if (k == 0) {
      int v = static_cast<int>(Bits(countBits));
      if (v >= n) Bad();
      ptTable_.Single(v);
      return;
    }
    if (k > n) Bad();
    int i = 0;
    while (i < k) {
      Need();
      uint32_t len = static_cast<uint32_t>(bits_ >> 61);
      if (len == 7) {
        for (uint64_t mask = 1ull << 60; len < 20 && (bits_ & mask); mask >>= 1) ++len;
        if (len > kMaxCodeLength) Bad();
      }
      Drop(len < 7 ? 3 : len - 3);
      ptLen_[i++] = static_cast<uint8_t>(len);
      if (i == special) {
        int zeros = static_cast<int>(Bits(2));
        while (zeros-- > 0) ptLen_[i++] = 0;
      }
    }
    while (i < n) ptLen_[i++] = 0;
    if (!ptTable_.Build(ptLen_, n)) Bad();
  }

  void ReadCLengths() {
    int k = static_cast<int>(Bits(kCountBitsC));
    if (k == 0) {
      int v = static_cast<int>(Bits(kCountBitsC));
      if (v >= NC) Bad();
      cTable_.Single(v);
      return;
    }
    if (k > NC) Bad();
    int i = 0;
    while (i < k) {
      Need();
      uint32_t e = ptTable_.Lookup(Peek16());
      Drop(e >> 9);
      int t = static_cast<int>(e & 0x1FF);
      if (t <= 2) {
        int run = t == 0 ? 1 : t == 1 ? static_cast<int>(Bits(4)) + 3 : static_cast<int>(Bits(kCountBitsC)) + 20;
        if (i + run > NC) Bad();
        std::memset(cLen_ + i, 0, static_cast<size_t>(run));
        i += run;
      } else {
        cLen_[i++] = static_cast<uint8_t>(t - 2);
      }
    }
    std::memset(cLen_ + i, 0, static_cast<size_t>(NC - i));
    if (!cTable_.Build(cLen_, NC)) Bad();
  }

  ByteSource& in_;
  ByteSink& out_;
  uint64_t bits_ = 0;
  int count_ = 0;
  bool ended_ = false;
  int realAtEnd_ = 0;  // bits of the input still unread when it ended
  uint32_t blockLeft_ = 0;
  uint8_t cLen_[NC];
  uint8_t ptLen_[NT];
  DecodeTable<12, NC> cTable_;
  DecodeTable<8, NT> ptTable_;
  uint8_t window_[kWindowBytes];
};

}  // namespace

void DecodeLh5(ByteSource& in, ByteSink& out, int32_t expandedSize) {
  if (expandedSize <= 0) return;
  auto decoder = std::make_unique<Lh5Decoder>(in, out);
  decoder->Run(expandedSize);
}

}  // namespace tovin
