// Damaged or arbitrary lh5 streams: a defined error or wrong bytes, never a fault.
#include "fuzz/fuzz_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tovin::fuzz::DecodeInput(tovin::coLZH5, data, size);
  return 0;
}
