// Parses a file as the lh5 encoder does and prints one hash of every symbol it would send, with
// the time: a change to the match finder that keeps the hash keeps the encoder's output byte
// for byte.
// Usage: match_finder_trace FILE
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "codec/lh5_match_finder.h"
#include "codec/lh5_parse.h"

using namespace tovin::lh5;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: match_finder_trace FILE\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "match_finder_trace: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  size_t at = 0;
  auto get = [&](uint8_t* dst, int n) {
    int k = static_cast<int>(std::min<size_t>(static_cast<size_t>(n), data.size() - at));
    std::memcpy(dst, data.data() + at, static_cast<size_t>(k));
    at += static_cast<size_t>(k);
    if (k < n) dst[k] = 0;  // what the encoder's source answers past the end
    return k;
  };
  auto finder = std::make_unique<MatchFinder>();  // 300 KB: not on the stack
  auto start = std::chrono::steady_clock::now();
  uint64_t hash = 1469598103934665603ull;
  auto mix = [&hash](uint64_t v) { hash = (hash ^ v) * 1099511628211ull; };
  // The symbols the encoder would send go into the hash.
  Parse(
      *finder, get, [&](unsigned byte) { mix(byte); },
      [&](unsigned length, unsigned distance) { mix(static_cast<uint64_t>(length) << 16 | distance); });
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%016llx  %.3f s  %.1f MB/s\n", static_cast<unsigned long long>(hash), seconds,
              static_cast<double>(data.size()) / 1048576.0 / seconds);
  return 0;
}
