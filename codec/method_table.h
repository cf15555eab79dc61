// The compression methods, one row each: the ordinal stored in a member header, the
// identifier in the archive header, the name on the command line, a name for people, and the
// coder. Every place that names or dispatches a method reads it here.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "codec/pack_method.h"

namespace tovin {

class ByteSource;
class ByteSink;

struct MethodInfo {
  TPackMethod Method;
  const char* Id;           // 3 characters, no terminator on disk: "NON", "RLE", "LZH", "CUS", "LH5"
  const char* CliName;      // "none", "rle", "lzh", "custom", "lh5"
  const char* DisplayName;
  // Null for coNone (a plain copy by the container) and coCustom (the host's OnExpand event).
  void (*Decode)(ByteSource& in, ByteSink& out, int32_t expandedSize);
  void (*Encode)(ByteSource& in, ByteSink& out);

  // An archive can be written with it: stored, or coded by an encoder of this codec.
  bool Writable() const { return Method == coNone || Encode != nullptr; }
};

// Every row, in ordinal order.
std::span<const MethodInfo> Methods();
// Null when unknown (ordinals 5 to 255).
const MethodInfo* FindMethod(uint8_t ordinal);
// Expanded by a decoder of this codec (rle, lzh, lh5): neither stored nor the host's own.
bool DecodedByCodec(uint8_t ordinal);
// Exact and case-sensitive; null when unknown.
const MethodInfo* FindMethodByCliName(std::string_view name);
// Exact and case-sensitive, in ordinal order, as archive headers are read; null when unknown.
const MethodInfo* FindMethodById(std::string_view id);
// The command-line names of the writable methods, for messages: "none, rle, lzh, lh5".
std::string MethodCliNames();

}  // namespace tovin
