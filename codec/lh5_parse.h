// How the lh5 encoder splits its input into symbols: the match finder driven position by
// position with one-step lazy matching. The encoder and the finder's trace both parse through
// here, so a trace that keeps its hash keeps the encoder's output.
#pragma once
#include <cstdint>
#include <cstring>

#include "codec/lh5_format.h"
#include "codec/lh5_match_finder.h"

namespace tovin::lh5 {

// fill(dst, n) stores up to n input bytes at dst and returns their count, leaving at
// dst[count] what the source answers at its end. literal(byte) and match(length, distance)
// receive the symbols in order. Returns false for an empty input, which codes to nothing.
template <class Fill, class Literal, class Match>
bool Parse(MatchFinder& m, Fill&& fill, Literal&& literal, Match&& match) {
  m.Reset();
  m.pos = kDicSize + kMaxMatch;
  int remainder = fill(m.text + kDicSize + kMaxMatch, kDicSize);
  std::memset(m.text + kDicSize + kMaxMatch + remainder, ' ', static_cast<size_t>(kDicSize - remainder));
  if (remainder == 0) return false;
  auto advance = [&] {
    --remainder;
    if (++m.pos == 2 * kDicSize) {
      std::memmove(m.text, m.text + kDicSize, kDicSize + kMaxMatch);
      // Where the input ends, the position gets the 0 the source answered; the rest keep their bytes.
      remainder += fill(m.text + kDicSize + kMaxMatch, kDicSize);
      m.pos = kDicSize;
    }
    m.Delete();
    m.Insert();
  };
  m.matchLength = 0;
  m.matchPosition = 0;
  m.Insert();
  while (remainder > 0) {
    int lastLength = m.matchLength, lastPosition = m.matchPosition;
    advance();
    if (m.matchLength > remainder) m.matchLength = remainder;
    if (m.matchLength > lastLength || lastLength < kThreshold) {
      literal(m.text[m.pos - 1]);
    } else {
      match(static_cast<unsigned>(lastLength), static_cast<unsigned>((m.pos - lastPosition - 2) & (kDicSize - 1)));
      while (--lastLength > 0) advance();
      if (m.matchLength > remainder) m.matchLength = remainder;
    }
  }
  return true;
}

}  // namespace tovin::lh5
