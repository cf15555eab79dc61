#include "tests/codec/codec_helpers.h"

#include "codec/run_codec.h"
#include "platform/stream.h"

namespace tovin::test {

Coded Encode(TPackMethod method, const std::string& input, int32_t key) {
  MemoryStream in(input), out;
  PlainCodecOwner owner(key);
  Coded c;
  RunCodecWithBudget(owner, out, in, false, kCompress, method, 0, static_cast<int32_t>(input.size()),
                     2147483647, c.checksum);
  c.bytes = out.Data();
  return c;
}

Coded Decode(TPackMethod method, const std::string& stream, int32_t expandedSize, int32_t key, bool scrambled,
             const TShowProgressEvent& progress) {
  MemoryStream in(stream), out;
  PlainCodecOwner owner(key, progress);
  Coded c;
  RunCodec(owner, out, in, scrambled, kExpand, method, expandedSize, static_cast<int32_t>(stream.size()),
           c.checksum);
  c.bytes = out.Data();
  return c;
}

uint32_t ByteSum(const std::string& s) {
  uint32_t sum = 0;
  for (unsigned char c : s) sum += c;
  return sum;
}

std::string RandomBytes(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (auto& c : s) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x >> 24);
  }
  return s;
}

std::string Text(size_t n) {
  static const char* words[] = {"setup ", "install ", "the ", "archive ", "segment ", "of ", "and ",
                                "Windows ", "directory\r\n", "file ", "a ", "copy ", "disk ", "Tovin. "};
  std::string s;
  uint32_t x = 12345;
  while (s.size() < n) {
    x = x * 1103515245u + 12345u;
    s += words[(x >> 16) % 14];
  }
  s.resize(n);
  return s;
}

std::vector<Sample> Samples() {
  std::vector<Sample> v = {
      {"empty", ""},
      {"one byte", "a"},
      {"all equal", std::string(100000, 'x')},
      {"all spaces", std::string(20000, ' ')},
      {"all markers", std::string(1000, static_cast<char>(148))},
      {"random", RandomBytes(70000, 1)},
      {"text", Text(150000)},
      {"8191", Text(8191)},
      {"8192", Text(8192)},
      {"8193", Text(8193)},
      {"16640", RandomBytes(16640, 7)},
      {"many symbols", RandomBytes(300000, 3)},  // several blocks of literals
  };
  std::string mixed;
  for (int i = 0; i < 40; ++i) mixed += (i % 3 ? Text(3000 + i * 17) : RandomBytes(2000 + i, static_cast<uint32_t>(i)));
  v.push_back({"mixed", mixed});
  std::string runs;
  for (int i = 0; i < 2000; ++i) runs += std::string(static_cast<size_t>(i % 300), static_cast<char>(i));
  v.push_back({"runs", runs});
  // Long matches, then literals, at many offsets from the decoder's 64 KiB hand-overs: the
  // literals after a match must stop at a hand-over as the matches do.
  std::string hops;
  for (uint32_t i = 0; i < 60; ++i) hops += std::string(3000 + 997 * i, '\0') + RandomBytes(1200 + 31 * i, i);
  v.push_back({"matches then literals", hops});
  return v;
}

}  // namespace tovin::test
