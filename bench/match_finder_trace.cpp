// Runs the lh5 match finder over a file the way the encoder drives it and prints one hash of
// every (length, position) it yields, with the time: a change to the finder that keeps the
// hash keeps the encoder's output byte for byte.
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

#include "codec/lh5_format.h"
#include "codec/lh5_match_finder.h"

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
  auto finder = std::make_unique<MatchFinder>();
  MatchFinder& m = *finder;
  auto start = std::chrono::steady_clock::now();
  uint64_t hash = 1469598103934665603ull;
  auto mix = [&hash](uint64_t v) { hash = (hash ^ v) * 1099511628211ull; };
  m.Reset();
  m.pos = kDicSize + kMaxMatch;
  int remainder = get(m.text + kDicSize + kMaxMatch, kDicSize);
  std::memset(m.text + kDicSize + kMaxMatch + remainder, ' ', static_cast<size_t>(kDicSize - remainder));
  auto advance = [&] {
    --remainder;
    if (++m.pos == 2 * kDicSize) {
      std::memmove(m.text, m.text + kDicSize, kDicSize + kMaxMatch);
      remainder += get(m.text + kDicSize + kMaxMatch, kDicSize);
      m.pos = kDicSize;
    }
    m.Delete();
    m.Insert();
  };
  if (remainder > 0) {
    m.matchLength = 0;
    m.matchPosition = 0;
    m.Insert();
  }
  // The encoder's lazy matching: the symbols it would send go into the hash.
  while (remainder > 0) {
    int lastLength = m.matchLength, lastPosition = m.matchPosition;
    advance();
    if (m.matchLength > remainder) m.matchLength = remainder;
    if (m.matchLength > lastLength || lastLength < kThreshold) {
      mix(m.text[m.pos - 1]);
    } else {
      mix(static_cast<uint64_t>(lastLength) << 16 | static_cast<uint64_t>((m.pos - lastPosition - 2) & (kDicSize - 1)));
      while (--lastLength > 0) advance();
      if (m.matchLength > remainder) m.matchLength = remainder;
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%016llx  %.3f s  %.1f MB/s\n", static_cast<unsigned long long>(hash), seconds,
              static_cast<double>(data.size()) / 1048576.0 / seconds);
  return 0;
}
