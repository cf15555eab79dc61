// Whatever is encoded decodes to the same bytes with the same checksum, for every method.
#include <cstdlib>

#include "fuzz/fuzz_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovin;
  if (size < 1) return 0;
  const uint8_t methods[] = {coRLE, coLZH, coLZH5};
  uint8_t method = methods[data[0] % 3];
  int32_t key = (data[0] & 4) ? 0x2468ACE0 : 0;
  std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  MemoryStream src(input), packed;
  PlainCodecOwner owner(key);
  uint32_t inSum = 0, outSum = 0;
  RunCodecWithBudget(owner, packed, src, false, kCompress, method, 0, static_cast<int32_t>(input.size()),
                     2147483647, inSum);
  MemoryStream back(packed.Data()), out;
  RunCodec(owner, out, back, true, kExpand, method, static_cast<int32_t>(input.size()),
           static_cast<int32_t>(packed.Data().size()), outSum);
  if (out.Data() != input || inSum != outSum) abort();
  return 0;
}
