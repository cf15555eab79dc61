// lh5 encoding with one-step lazy matching; symbols are buffered per block so that the codes
// are built from exact counts. The output is fixed byte for byte by the match finder, the
// block cut and the tree builder's tie-breaks.
#include <cstring>
#include <memory>

#include "codec/huffman_builder.h"
#include "codec/lh5_format.h"
#include "codec/lh5_match_finder.h"
#include "codec/lh5_parse.h"
#include "codec/methods.h"

namespace tovin {
namespace {

using namespace lh5;

constexpr int kBlockBuffer = 16384;

class Lh5Encoder {
 public:
  Lh5Encoder(ByteSource& in, ByteSink& out) : in_(in), out_(out) {}

  void Run() {
    std::memset(cFreq_, 0, sizeof cFreq_);
    std::memset(pFreq_, 0, sizeof pFreq_);
    buf_[0] = 0;
    bool any = Parse(
        finder_, [this](uint8_t* dst, int n) { return in_.GetBlock(dst, n); },
        [this](unsigned c) { Output(c, 0); },
        [this](unsigned length, unsigned distance) { Output(length + (256 - kThreshold), distance); });
    if (!any) return;
    SendBlock();
    PutBits(7, 0);
  }

 private:
  void Output(unsigned c, unsigned p) {
    if ((outputMask_ >>= 1) == 0) {
      outputMask_ = 0x80;
      if (outputPos_ >= kBlockBuffer - 24) {
        SendBlock();
        outputPos_ = 0;
      }
      flagPos_ = outputPos_++;
      buf_[flagPos_] = 0;
    }
    buf_[outputPos_++] = static_cast<uint8_t>(c);
    ++cFreq_[c];
    if (c >= 256) {
      buf_[flagPos_] |= static_cast<uint8_t>(outputMask_);
      buf_[outputPos_++] = static_cast<uint8_t>(p >> 8);
      buf_[outputPos_++] = static_cast<uint8_t>(p);
      ++pFreq_[PositionClass(p)];
    }
  }

  static unsigned PositionClass(unsigned p) { return p ? 32 - static_cast<unsigned>(__builtin_clz(p)) : 0; }

  // Writes the low n bits of x (n <= 16); each byte goes to the sink as soon as it is full,
  // and bits that never fill a byte are not written.
  __attribute__((always_inline)) void PutBits(int n, unsigned x) {
    bits_ = (bits_ << n) | (x & ((1u << n) - 1));
    bitCount_ += n;
    while (bitCount_ >= 8) {
      bitCount_ -= 8;
      out_.Put(static_cast<uint8_t>(bits_ >> bitCount_));
    }
  }
  void PutCode(int length, uint16_t code) { PutBits(length, static_cast<unsigned>(code) >> (16 - length)); }

  void CountTFrequencies(int count) {
    std::memset(tFreq_, 0, sizeof tFreq_);
    int i = 0;
    while (i < count) {
      int k = cLen_[i++];
      if (k == 0) {
        int run = 1;
        while (i < count && cLen_[i] == 0) {
          ++i;
          ++run;
        }
        if (run <= 2) tFreq_[0] = static_cast<uint16_t>(tFreq_[0] + run);
        else if (run <= 18) ++tFreq_[1];
        else if (run == 19) {
          ++tFreq_[0];
          ++tFreq_[1];
        } else ++tFreq_[2];
      } else {
        ++tFreq_[k + 2];
      }
    }
  }

  void WritePtLengths(int n, int countBits, int special) {
    while (n > 0 && ptLen_[n - 1] == 0) --n;
    PutBits(countBits, static_cast<unsigned>(n));
    int i = 0;
    while (i < n) {
      int k = ptLen_[i++];
      if (k <= 6) PutBits(3, static_cast<unsigned>(k));
      else PutBits(k - 3, (1u << (k - 3)) - 2);
      if (i == special) {
        while (i < 6 && ptLen_[i] == 0) ++i;
        PutBits(2, static_cast<unsigned>((i - 3) & 3));
      }
    }
  }

  void WriteCLengths(int n) {
    PutBits(kCountBitsC, static_cast<unsigned>(n));
    int i = 0;
    while (i < n) {
      int k = cLen_[i++];
      if (k == 0) {
        int run = 1;
        while (i < n && cLen_[i] == 0) {
          ++i;
          ++run;
        }
        if (run <= 2) {
          for (int j = 0; j < run; ++j) PutCode(ptLen_[0], ptCode_[0]);
        } else if (run <= 18) {
          PutCode(ptLen_[1], ptCode_[1]);
          PutBits(4, static_cast<unsigned>(run - 3));
        } else if (run == 19) {
          PutCode(ptLen_[0], ptCode_[0]);
          PutCode(ptLen_[1], ptCode_[1]);
          PutBits(4, 15);
        } else {
          PutCode(ptLen_[2], ptCode_[2]);
          PutBits(kCountBitsC, static_cast<unsigned>(run - 20));
        }
      } else {
        PutCode(ptLen_[k + 2], ptCode_[k + 2]);
      }
    }
  }

  void SendBlock() {
    int root = builder_.Build(NC, cFreq_, cLen_, cCode_);
    unsigned size = cFreq_[root];
    PutBits(16, size);
    if (root >= NC) {
      int count = NC;
      while (count > 0 && cLen_[count - 1] == 0) --count;
      CountTFrequencies(count);
      int troot = builder_.Build(NT, tFreq_, ptLen_, ptCode_);
      if (troot >= NT) {
        WritePtLengths(NT, kCountBitsT, 3);
      } else {
        PutBits(kCountBitsT, 0);
        PutBits(kCountBitsT, static_cast<unsigned>(troot));
      }
      WriteCLengths(count);
    } else {
      PutBits(kCountBitsT, 0);
      PutBits(kCountBitsT, 0);
      PutBits(kCountBitsC, 0);
      PutBits(kCountBitsC, static_cast<unsigned>(root));
    }
    int proot = builder_.Build(NP, pFreq_, ptLen_, ptCode_);
    if (proot >= NP) {
      WritePtLengths(NP, kCountBitsP, -1);
    } else {
      PutBits(kCountBitsP, 0);
      PutBits(kCountBitsP, static_cast<unsigned>(proot));
    }
    int pos = 0;
    unsigned flags = 0;
    for (unsigned i = 0; i < size; ++i) {
      if (i % 8 == 0) flags = buf_[pos++];
      else flags <<= 1;
      if (flags & 0x80) {
        unsigned c = buf_[pos++] + 256u;
        PutCode(cLen_[c], cCode_[c]);
        unsigned p = static_cast<unsigned>(buf_[pos] << 8 | buf_[pos + 1]);
        pos += 2;
        unsigned k = PositionClass(p);
        PutCode(ptLen_[k], ptCode_[k]);
        if (k > 1) PutBits(static_cast<int>(k - 1), p & (0xFFFFu >> (17 - k)));
      } else {
        unsigned c = buf_[pos++];
        PutCode(cLen_[c], cCode_[c]);
      }
    }
    std::memset(cFreq_, 0, sizeof(uint16_t) * NC);
    std::memset(pFreq_, 0, sizeof(uint16_t) * NP);
  }

  ByteSource& in_;
  ByteSink& out_;
  MatchFinder finder_;
  HuffmanBuilder builder_;
  uint8_t buf_[kBlockBuffer];
  int outputPos_ = 0, flagPos_ = 0;
  unsigned outputMask_ = 0;
  uint16_t cFreq_[2 * NC - 1];
  uint16_t pFreq_[2 * NP - 1];
  uint16_t tFreq_[2 * NT - 1];
  uint8_t cLen_[NC];
  uint16_t cCode_[NC];
  uint8_t ptLen_[NT];
  uint16_t ptCode_[NT];
  uint64_t bits_ = 0;
  int bitCount_ = 0;  // pending bits in bits_
};

}  // namespace

void EncodeLh5(ByteSource& in, ByteSink& out) {
  auto encoder = std::make_unique<Lh5Encoder>(in, out);
  encoder->Run();
}

}  // namespace tovin
