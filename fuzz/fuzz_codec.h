// Shared by the codec fuzz targets: one codec call over memory.
#pragma once
#include <cstdint>
#include <string>

#include "codec/codec_errors.h"
#include "codec/codec_owner.h"
#include "codec/run_codec.h"
#include "platform/stream.h"

namespace tovin::fuzz {

// The first 4 bytes give the expanded size (bounded), the key and the scrambled flag; the
// rest is the stream.
inline void DecodeInput(uint8_t method, const uint8_t* data, size_t size) {
  if (size < 4) return;
  int32_t expanded = data[0] | (data[1] & 0x7F) << 8;  // below 32 KiB: many runs per second
  int32_t key = (data[3] & 1) ? 0x13579BDF : 0;
  MemoryStream in(std::string(reinterpret_cast<const char*>(data + 4), size - 4)), out;
  PlainCodecOwner owner(key);
  uint32_t sum = 0;
  try {
    RunCodec(owner, out, in, (data[3] & 2) != 0, kExpand, method, expanded, static_cast<int32_t>(size - 4), sum);
  } catch (const ELZHBadDecodeTable&) {
    return;
  } catch (const ECorruptData&) {
    if (out.Data().size() > static_cast<size_t>(expanded)) __builtin_trap();
    return;
  }
  // Without an error every method gives exactly the expanded size.
  if (out.Data().size() != static_cast<size_t>(expanded)) __builtin_trap();
}

}  // namespace tovin::fuzz
