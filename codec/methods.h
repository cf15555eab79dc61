// The coded methods, each one direction over the codec call's byte source and sink.
#pragma once
#include <cstdint>

#include "codec/byte_io.h"

namespace tovin {

void DecodeLh5(ByteSource& in, ByteSink& out, int32_t expandedSize);
void EncodeLh5(ByteSource& in, ByteSink& out);
void DecodeRle(ByteSource& in, ByteSink& out, int32_t expandedSize);
void EncodeRle(ByteSource& in, ByteSink& out);
void DecodeLzh(ByteSource& in, ByteSink& out, int32_t expandedSize);
void EncodeLzh(ByteSource& in, ByteSink& out);

}  // namespace tovin
