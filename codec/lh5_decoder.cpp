// lh5 decoding: a 64-bit bit buffer fed straight from the source's 8192-byte buffer, direct
// lookup tables, and a linear window that doubles as the output buffer, so matches are copied
// in words and the output is handed to the sink in large blocks.
#include <algorithm>
#include <cstddef>
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
  using CTable = DecodeTable<12, NC>;
  using TTable = DecodeTable<8, NT>;
  using PTable = DecodeTable<8, NP>;

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
        if (produced < expandedSize && blockLeft_ > 0 && wp < kDicSize + kSpan) DecodeSymbol(wp, produced);
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
  // Table payloads. C: a literal byte in bits 8..15, or a match length (3..256) in bits
  // 16..24. P: the count of extra distance bits in bits 8..11 and the smallest back offset of
  // the class in bits 16..31 (distance + 1, the extra bits are added to it).
  static uint32_t CPayload(int symbol) {
    return symbol < 256 ? static_cast<uint32_t>(symbol) << 8 : static_cast<uint32_t>(symbol - (256 - kThreshold)) << 16;
  }
  static uint32_t PPayload(int symbol) {
    uint32_t extra = symbol > 1 ? static_cast<uint32_t>(symbol - 1) : 0;
    uint32_t back = (symbol == 0 ? 0 : 1u << (symbol - 1)) + 1;
    return extra << 8 | back << 16;
  }
  static uint32_t TPayload(int symbol) { return static_cast<uint32_t>(symbol) << 8; }
  static uint32_t ExtraBits(uint32_t pe) { return (pe >> 8) & 15; }
  // The top `extra` bits of bits (none when extra is 0) without a branch.
  static uint32_t TopBits(uint64_t bits, uint32_t extra) { return static_cast<uint32_t>((bits >> 1) >> (63 - extra)); }

  // One C symbol and, for a match, its distance, with the bit reader refilled before each field.
  void DecodeSymbol(size_t& wp, int64_t& produced) {
    --blockLeft_;
    Need();
    uint32_t e = cTable_.Lookup(bits_);
    Drop(CTable::Length(e));
    uint32_t length = e >> 16;
    if (length == 0) {
      window_[wp++] = static_cast<uint8_t>(e >> 8);
      ++produced;
      return;
    }
    Need();
    uint32_t pe = pTable_.Lookup(bits_);
    Drop(PTable::Length(pe));
    if (pe >> 16 > 1) Need();  // classes from 1 on read their extra bits (class 1 none)
    uint32_t extra = ExtraBits(pe);
    uint32_t back = (pe >> 16) + TopBits(bits_, extra);
    Drop(extra);
    CopyMatch(window_ + wp, back, length);
    wp += length;
    produced += length;
  }

  // Decodes symbols from the chunk in the buffer with the bit reader in registers. Every
  // symbol starts with at least 56 bits loaded, which covers the longest one (a 16-bit C code,
  // a 16-bit P code and 12 extra bits), so the refill is one 8-byte load and no branch; the
  // next symbol's C entry is looked up before a match is copied.
  void FastRun(size_t& wpInOut, int64_t& produced, int64_t expandedSize) {
    if (ended_) return;
    const uint8_t* const start = in_.Next();
    const int32_t avail = in_.Buffered();
    // n symbols read at most 5.5 n + 8 bytes past the start and load 8 bytes there.
    if (avail < 16 + 6) return;
    const size_t first = wpInOut;
    // Stop at the end of the window span or once the expanded size is reached.
    const size_t stop = static_cast<size_t>(std::min<int64_t>(kDicSize + kSpan - first, expandedSize - produced)) + first;
    if (first >= stop) return;
    // Each symbol writes at least one byte, so n symbols from op never pass the stop when
    // n <= opStop - op: only a match needs to look at the stop, and it lowers n to the room left.
    uint32_t n = std::min<uint32_t>({blockLeft_, static_cast<uint32_t>(avail - 16) / 6, static_cast<uint32_t>(stop - first)});
    const uint32_t planned = n;
    uint32_t dropped = 0;  // symbols taken off n by a match, not decoded
    const uint8_t* ip = start;
    uint64_t bits = bits_;
    uint32_t count = static_cast<uint32_t>(count_);
    uint8_t* op = window_ + first;
    uint8_t* const opStop = window_ + stop;
    auto refill = [&] {
      uint64_t v;
      std::memcpy(&v, ip, 8);
      bits |= __builtin_bswap64(v) >> count;
      ip += (63 - count) >> 3;
      count |= 56;
    };
    refill();
    // A literal is an entry below 0x10000. A second-level index is not, and uses no bits, so
    // the literal path needs no test for it.
    uint32_t e = cTable_.Top(bits);
    // A symbol uses at most 44 of the 56 bits, so the next C entry can be looked up before the
    // refill: the refill is then off the chain from one symbol's entry to the next's.
    auto literal = [&] {
      *op++ = static_cast<uint8_t>(e >> 8);
      e = cTable_.Top(bits);
      refill();
    };
    while (n > 0) {
      --n;
      uint32_t len = CTable::Length(e);
      bits <<= len;
      count -= len;
      if (e < 0x10000) {
        literal();
        continue;
      }
      if (e & CTable::kSecondLevel) {
        e = cTable_.Second(e, bits);
        len = CTable::Length(e);
        bits <<= len;
        count -= len;
        if (e < 0x10000) {
          literal();
          continue;
        }
      }
      uint32_t length = e >> 16;
      uint32_t pe = pTable_.Lookup(bits);
      uint32_t plen = PTable::Length(pe);
      uint32_t extra = ExtraBits(pe);
      bits <<= plen;
      uint32_t back = (pe >> 16) + TopBits(bits, extra);
      bits <<= extra;
      count -= plen + extra;
      e = cTable_.Top(bits);
      refill();
      CopyMatch(op, back, length);
      op += length;
      // One test for the common case of enough room for the symbols left.
      if (opStop - op < static_cast<ptrdiff_t>(n)) {
        if (op >= opStop) break;
        auto room = static_cast<uint32_t>(opStop - op);
        dropped += n - room;
        n = room;
      }
    }
    in_.Skip(static_cast<int32_t>(ip - start));
    bits_ = bits;
    count_ = static_cast<int>(count);
    blockLeft_ -= planned - dropped - n;
    size_t wp = static_cast<size_t>(op - window_);
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
      // Most matches are short: two copies without a loop cover up to 32 bytes.
      std::memcpy(dst, src, 16);
      std::memcpy(dst + 16, src + 16, 16);
      for (uint32_t i = 32; i < length; i += 16) std::memcpy(dst + i, src + i, 16);
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
      if (n == NT) tTable_.Single(TPayload(v));
      else pTable_.Single(PPayload(v));
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
    if (!(n == NT ? tTable_.Build(ptLen_, n, TPayload) : pTable_.Build(ptLen_, n, PPayload))) Bad();
  }

  void ReadCLengths() {
    int k = static_cast<int>(Bits(kCountBitsC));
    if (k == 0) {
      int v = static_cast<int>(Bits(kCountBitsC));
      if (v >= NC) Bad();
      cTable_.Single(CPayload(v));
      return;
    }
    if (k > NC) Bad();
    int i = 0;
    while (i < k) {
      Need();
      uint32_t e = tTable_.Lookup(bits_);
      Drop(TTable::Length(e));
      int t = static_cast<int>(e >> 8);
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
    if (!cTable_.Build(cLen_, NC, CPayload)) Bad();
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
  CTable cTable_;
  TTable tTable_;  // in use only while the C lengths are read
  PTable pTable_;
  uint8_t window_[kWindowBytes];
};

}  // namespace

void DecodeLh5(ByteSource& in, ByteSink& out, int32_t expandedSize) {
  if (expandedSize <= 0) return;
  auto decoder = std::make_unique<Lh5Decoder>(in, out);
  decoder->Run(expandedSize);
}

}  // namespace tovin
