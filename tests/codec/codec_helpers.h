// Running the codec over strings, and sample inputs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codec/codec_owner.h"
#include "codec/pack_method.h"

namespace tovin::test {

struct Coded {
  std::string bytes;
  uint32_t checksum = 0;
};

// Whole raw streams (no output budget), as the codec command writes them.
Coded Encode(TPackMethod method, const std::string& input, int32_t key = 0);
Coded Decode(TPackMethod method, const std::string& stream, int32_t expandedSize, int32_t key = 0,
             bool scrambled = true, const TShowProgressEvent& progress = {});
uint32_t ByteSum(const std::string& s);

struct Sample {
  std::string name;
  std::string data;
};
std::vector<Sample> Samples();
std::string RandomBytes(size_t n, uint32_t seed);
std::string Text(size_t n);

// MSB-first bit writer for hand-built streams.
class BitWriter {
 public:
  void Put(int n, uint32_t value) {
    for (int i = n - 1; i >= 0; --i) {
      acc_ = static_cast<uint8_t>(acc_ << 1 | ((value >> i) & 1));
      if (++bits_ == 8) {
        out_ += static_cast<char>(acc_);
        acc_ = 0;
        bits_ = 0;
      }
    }
  }
  // A T or P length in the length-list code.
  void Length(int len) {
    if (len <= 6) Put(3, static_cast<uint32_t>(len));
    else Put(len - 3, (1u << (len - 3)) - 2);
  }
  std::string Bytes() const { return bits_ ? out_ + static_cast<char>(acc_ << (8 - bits_)) : out_; }

 private:
  std::string out_;
  uint8_t acc_ = 0;
  int bits_ = 0;
};

}  // namespace tovin::test
