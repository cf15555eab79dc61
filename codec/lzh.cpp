// The lzh method (LZHUF coding): LZSS over a 4096-byte window with 60-byte matches, symbols
// in an adaptive Huffman code, match positions in a fixed prefix code for their top 6 bits.
#include <memory>

#include "codec/lzh_match_finder.h"
#include "codec/lzh_tree.h"
#include "codec/methods.h"

namespace tovin {
namespace {

using namespace lzh;

constexpr int kStart = kWindow - kLookAhead;  // 4036

// The fixed code of the top 6 bits of a position: lengths by value, codes canonical.
struct PositionCode {
  uint8_t length[64];
  uint8_t code[64];        // left-aligned in 8 bits
  uint8_t decodeValue[256];
  uint8_t decodeLength[256];

  PositionCode() {
    unsigned c = 0;
    int previous = 3;
    for (int u = 0; u < 64; ++u) {
      int len = u < 1 ? 3 : u < 4 ? 4 : u < 12 ? 5 : u < 24 ? 6 : u < 48 ? 7 : 8;
      if (u > 0) c = (c + 1) << (len - previous);
      previous = len;
      length[u] = static_cast<uint8_t>(len);
      code[u] = static_cast<uint8_t>(c << (8 - len));
      for (unsigned v = code[u]; v < code[u] + (1u << (8 - len)); ++v) {
        decodeValue[v] = static_cast<uint8_t>(u);
        decodeLength[v] = static_cast<uint8_t>(len);
      }
    }
  }
};

const PositionCode& Positions() {
  static const PositionCode table;
  return table;
}

class LzhDecoder {
 public:
  LzhDecoder(ByteSource& in, ByteSink& out) : in_(in), out_(out) {}

  void Run(int32_t expandedSize) {
    tree_.Start();
    for (int i = 0; i < kStart; ++i) window_[i] = ' ';
    int r = kStart;
    int64_t produced = 0;
    while (produced < expandedSize) {
      int c = DecodeChar();
      if (c < 256) {
        out_.Put(static_cast<uint8_t>(c));
        window_[r] = static_cast<uint8_t>(c);
        r = (r + 1) & (kWindow - 1);
        ++produced;
      } else {
        int from = (r - DecodePosition() - 1) & (kWindow - 1);
        int length = c - 255 + kThreshold;
        for (int k = 0; k < length && produced < expandedSize; ++k) {  // never past the expanded size
          uint8_t b = window_[(from + k) & (kWindow - 1)];
          out_.Put(b);
          window_[r] = b;
          r = (r + 1) & (kWindow - 1);
          ++produced;
        }
      }
    }
  }

 private:
  // The 16-bit buffer is topped up while it holds 8 bits or fewer, so up to two bytes past
  // the input are fetched without being used; a fourth means at least kLookAheadBytes of
  // them were used.
  void Fetch() {
    while (count_ <= 8) {
      unsigned b = in_.Get();
      if (in_.EndFlag()) {
        b = 0;
        if (++pastEnd_ > kLookAheadBytes + 1) {
          pastEnd_ = kLookAheadBytes + 1;  // a stopped input goes on from zeros for good
          in_.InputOverrun();
        }
      }
      buffer_ = static_cast<uint16_t>(buffer_ | (b << (8 - count_)));
      count_ += 8;
    }
  }
  int Bit() {
    Fetch();
    int bit = buffer_ >> 15;
    buffer_ = static_cast<uint16_t>(buffer_ << 1);
    --count_;
    return bit;
  }
  int Byte() {
    Fetch();
    int byte = buffer_ >> 8;
    buffer_ = static_cast<uint16_t>(buffer_ << 8);
    count_ -= 8;
    return byte;
  }
  int DecodeChar() {
    unsigned c = tree_.son[kRoot];
    while (c < kNodes) c = tree_.son[c + static_cast<unsigned>(Bit())];
    int symbol = static_cast<int>(c) - kNodes;
    tree_.Update(symbol);
    return symbol;
  }
  int DecodePosition() {
    const PositionCode& pc = Positions();
    unsigned i = static_cast<unsigned>(Byte());
    unsigned upper = static_cast<unsigned>(pc.decodeValue[i]) << 6;
    int more = pc.decodeLength[i] - 2;
    while (more-- > 0) i = (i << 1) + static_cast<unsigned>(Bit());
    return static_cast<int>(upper | (i & 0x3F));
  }

  ByteSource& in_;
  ByteSink& out_;
  AdaptiveTree tree_;
  uint16_t buffer_ = 0;
  int count_ = 0;
  int32_t pastEnd_ = 0;  // zero bytes fetched past the end of the input
  uint8_t window_[kWindow];
};

class LzhEncoder {
 public:
  LzhEncoder(ByteSource& in, ByteSink& out) : in_(in), out_(out) {}

  void Run() {
    tree_.Start();
    MatchFinder& m = finder_;
    m.Reset();
    int s = 0, r = kStart;
    for (int i = s; i < r; ++i) m.text[i] = ' ';
    int len = 0;
    while (len < kLookAhead) {
      uint8_t c = in_.Get();
      if (in_.EndFlag()) break;
      m.text[r + len++] = c;
    }
    if (len == 0) return;
    for (int i = 1; i <= kLookAhead; ++i) m.Insert(r - i);
    m.Insert(r);
    do {
      if (m.matchLength > len) m.matchLength = len;
      if (m.matchLength <= kThreshold) {
        m.matchLength = 1;
        EncodeChar(m.text[r]);
      } else {
        EncodeChar(255 - kThreshold + m.matchLength);
        EncodePosition(m.matchPosition);
      }
      int last = m.matchLength, i = 0;
      for (; i < last; ++i) {
        uint8_t c = in_.Get();
        if (in_.EndFlag()) break;
        m.Delete(s);
        m.text[s] = c;
        if (s < kLookAhead - 1) m.text[s + kWindow] = c;
        s = (s + 1) & (kWindow - 1);
        r = (r + 1) & (kWindow - 1);
        m.Insert(r);
      }
      for (; i < last; ++i) {
        m.Delete(s);
        s = (s + 1) & (kWindow - 1);
        r = (r + 1) & (kWindow - 1);
        if (--len) m.Insert(r);
      }
    } while (len > 0);
    if (pending_) out_.Put(static_cast<uint8_t>(put_ >> 8));
  }

 private:
  // Sends the top l bits (l <= 16) of c.
  void PutCode(int l, unsigned c) {
    put_ = static_cast<uint16_t>(put_ | (c >> pending_));
    if ((pending_ += l) >= 8) {
      out_.Put(static_cast<uint8_t>(put_ >> 8));
      if ((pending_ -= 8) >= 8) {
        out_.Put(static_cast<uint8_t>(put_));
        pending_ -= 8;
        put_ = static_cast<uint16_t>(c << (l - pending_));
      } else {
        put_ = static_cast<uint16_t>(put_ << 8);
      }
    }
  }
  void EncodeChar(int symbol) {
    uint32_t code = 0;
    int length = 0;
    int k = tree_.parent[symbol + kNodes];
    do {
      code >>= 1;
      if (k & 1) code |= 0x80000000u;
      ++length;
    } while ((k = tree_.parent[k]) != kRoot);
    if (length <= 16) {
      PutCode(length, code >> 16);
    } else {  // deep codes are sent whole
      PutCode(16, code >> 16);
      PutCode(length - 16, code & 0xFFFF);
    }
    tree_.Update(symbol);
  }
  void EncodePosition(int p) {
    const PositionCode& pc = Positions();
    int u = p >> 6;
    PutCode(pc.length[u], static_cast<unsigned>(pc.code[u]) << 8);
    PutCode(6, static_cast<unsigned>(p & 0x3F) << 10);
  }

  ByteSource& in_;
  ByteSink& out_;
  AdaptiveTree tree_;
  MatchFinder finder_;
  uint16_t put_ = 0;
  int pending_ = 0;
};

}  // namespace

void DecodeLzh(ByteSource& in, ByteSink& out, int32_t expandedSize) {
  if (expandedSize <= 0) return;
  auto decoder = std::make_unique<LzhDecoder>(in, out);
  decoder->Run(expandedSize);
}

void EncodeLzh(ByteSource& in, ByteSink& out) {
  auto encoder = std::make_unique<LzhEncoder>(in, out);
  encoder->Run();
}

}  // namespace tovin
