// Run-length coding with one marker byte: marker, 0 is the marker itself; marker, n repeats
// the byte before the marker n - 1 more times.
#include "codec/methods.h"

namespace tovin {
namespace {

constexpr uint8_t kMarker = 148;

void PutSingle(ByteSink& out, uint8_t b) {
  out.Put(b);
  if (b == kMarker) out.Put(0);
}

void PutRun(ByteSink& out, int count, uint8_t c) {
  if (count <= 2) {
    for (int i = 1; i < count; ++i) out.Put(c);
  } else {
    out.Put(kMarker);
    out.Put(static_cast<uint8_t>(count));
  }
}

}  // namespace

void DecodeRle(ByteSource& in, ByteSink& out, int32_t expandedSize) {
  uint8_t previous = 0;
  for (;;) {
    uint8_t b = in.Get();
    if (in.EndFlag()) {
      // Runs carry no count of their own: input that ends short of the size is cut off.
      if (static_cast<int64_t>(out.Count()) < expandedSize) in.InputOverrun();
      return;
    }
    if (b != kMarker) {
      out.Put(b);
    } else {
      uint8_t n = in.Get();
      if (in.EndFlag()) n = 0;
      if (n == 0) out.Put(kMarker);
      for (int i = 1; i < n; ++i) out.Put(previous);
    }
    previous = b;
  }
}

void EncodeRle(ByteSource& in, ByteSink& out) {
  uint8_t previous = 0;
  bool first = true, inRun = false;
  int runCount = 0;
  for (;;) {
    uint8_t b = in.Get();
    if (in.EndFlag()) break;
    if (inRun) {
      if (b == previous && runCount < 255) {
        ++runCount;
      } else {
        PutRun(out, runCount, previous);
        previous = b;
        PutSingle(out, b);
        inRun = false;
      }
    } else {
      if (b == kMarker) PutSingle(out, b);
      else if (b != previous || first) out.Put(b);
      else {
        runCount = 2;
        inRun = true;
      }
      previous = b;
    }
    first = false;
  }
  if (inRun) PutRun(out, runCount, previous);
}

}  // namespace tovin
