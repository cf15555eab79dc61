// The one codec call: runs one method in one direction over one member.
#pragma once
#include <cstdint>

#include "codec/codec_owner.h"
#include "codec/pack_method.h"
#include "platform/stream.h"

namespace tovin {

enum : uint8_t { kCompress = 0, kExpand = 1 };

// Reads at most inputSize bytes from source (the member's compressed size when expanding,
// its size when compressing) and writes to destination. result receives the 32-bit sum of
// the uncompressed bytes. When compressing the return value is the compressed size, and a
// stream that would grow past the input size raises EUnableToCompress. Methods other than
// coRLE, coLZH and coLZH5 produce nothing. An expansion writes at most expandedSize bytes;
// input that would give more, or that ends before expandedSize bytes are decoded (beyond the
// decoder's few bytes of look-ahead), raises ECorruptData, unless the progress handler cut
// the input off with -1 (lh5 and lzh then go on from zero bits, rle stops; either way the
// member fails its checksum).
int32_t RunCodec(const CodecOwner& owner, Stream& destination, Stream& source, bool scrambled,
                 uint8_t direction, uint8_t method, int32_t expandedSize, int32_t inputSize,
                 uint32_t& result);

// RunCodec with an explicit output budget, for raw streams whose compressed form may be
// longer than their input.
int32_t RunCodecWithBudget(const CodecOwner& owner, Stream& destination, Stream& source, bool scrambled,
                           uint8_t direction, uint8_t method, int32_t expandedSize, int32_t inputSize,
                           int32_t outputBudget, uint32_t& result);

}  // namespace tovin
