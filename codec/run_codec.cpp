#include "codec/run_codec.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "codec/byte_io.h"
#include "codec/method_table.h"

namespace tovin {

int32_t RunCodec(const CodecOwner& owner, Stream& destination, Stream& source, bool scrambled,
                 uint8_t direction, uint8_t method, int32_t expandedSize, int32_t inputSize,
                 uint32_t& result) {
  // A compression must not come out larger than its input; an expansion is held to its
  // expanded size below.
  int32_t budget = direction == kExpand ? std::numeric_limits<int32_t>::max() : inputSize;
  return RunCodecWithBudget(owner, destination, source, scrambled, direction, method, expandedSize, inputSize,
                            budget, result);
}

int32_t RunCodecWithBudget(const CodecOwner& owner, Stream& destination, Stream& source, bool scrambled,
                           uint8_t direction, uint8_t method, int32_t expandedSize, int32_t inputSize,
                           int32_t outputBudget, uint32_t& result) {
  bool expand = direction == kExpand;
  auto in = std::make_unique<ByteSource>(source, inputSize, owner, expand && owner.Key() != 0 && scrambled);
  // Nothing past the expanded size is ever written, whatever the budget asked for.
  if (expand) outputBudget = std::max(0, std::min(expandedSize, outputBudget));
  auto out = std::make_unique<ByteSink>(destination, outputBudget, !expand, owner.Key(), expand);
  if (const MethodInfo* coder = FindMethod(method)) {
    if (expand && coder->Decode) coder->Decode(*in, *out, expandedSize);
    if (!expand && coder->Encode) coder->Encode(*in, *out);
  }
  result = expand ? out->Checksum() : in->Checksum();
  out->Finish();
  return static_cast<int32_t>(out->Count());
}

}  // namespace tovin
