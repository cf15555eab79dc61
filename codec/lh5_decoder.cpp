// lh5 decoding: a 64-bit bit buffer fed straight from the source's 8192-byte buffer, direct
// lookup tables, and a linear window that doubles as the output buffer, so matches are copied
// in words and the output is handed to the sink in large blocks.
#include <cstring>
#include <memory>

#include "codec/decode_table.h"
#include "codec/lh5_format.h"
#include "codec/methods.h"

namespace tovin {
namespace {

using namespace lh5;

constexpr size_t kSpan = 1 << 16;  // bytes decoded between two hand-overs to the sink
constexpr size_t kWindowBytes = kDicSize + kSpan + kMaxMatch + 16;

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
        --blockLeft_;
        Need();
        uint32_t e = cTable_.Lookup(Peek16());
        Drop(e >> 9);
        uint32_t c = e & 0x1FF;
        if (c < 256) {
          window_[wp++] = static_cast<uint8_t>(c);
          ++produced;
        } else {
          uint32_t length = c - (256 - kThreshold);
          Need();
          uint32_t pe = ptTable_.Lookup(Peek16());
          Drop(pe >> 9);
          uint32_t p = pe & 0x1FF;
          uint32_t distance = p == 0 ? 0 : (1u << (p - 1)) + Bits(static_cast<int>(p - 1));
          CopyMatch(window_ + wp, distance + 1, length);
          wp += length;
          produced += length;
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
    }
    out_.PutBlock(window_ + handed, wp - handed);
    Need();  // the reader keeps 16 bits ahead, which may fetch the last chunk
  }

 private:
  static void CopyMatch(uint8_t* dst, uint32_t back, uint32_t length) {
    const uint8_t* src = dst - back;
    if (back >= 8) {
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
  void Need() {
    if (count_ >= 16) return;
    if (ended_) {  // the bytes a stopped refill left in the buffer are not read
      count_ = 64;
      return;
    }
    for (;;) {
      int32_t avail = in_.Buffered();
      if (avail >= 8) {
        uint64_t v;
        std::memcpy(&v, in_.Next(), 8);
        v = __builtin_bswap64(v);
        bits_ |= v >> count_;
        int take = (63 - count_) >> 3;
        in_.Skip(take);
        count_ += take * 8;
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

  [[noreturn]] static void Bad() { throw ELZHBadDecodeTable(kBadDecodeTable); }

  void ReadBlockHeader() {
    blockLeft_ = static_cast<uint16_t>(Bits(16));
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
  uint16_t blockLeft_ = 0;
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
