#include "codec/method_table.h"

#include "codec/methods.h"

namespace tovin {
namespace {

constexpr MethodInfo kMethods[] = {
    {coNone, "NON", "none", "stored", nullptr, nullptr},
    {coRLE, "RLE", "rle", "run-length", DecodeRle, EncodeRle},
    {coLZH, "LZH", "lzh", "adaptive Huffman LZ", DecodeLzh, EncodeLzh},
    {coCustom, "CUS", "custom", "custom (host decoder)", nullptr, nullptr},
    {coLZH5, "LH5", "lh5", "static Huffman LZ (lh5)", DecodeLh5, EncodeLh5},
};

}  // namespace

std::span<const MethodInfo> Methods() { return kMethods; }

const MethodInfo* FindMethod(uint8_t ordinal) {
  for (const auto& m : kMethods)
    if (m.Method == ordinal) return &m;
  return nullptr;
}

bool DecodedByCodec(uint8_t ordinal) {
  const MethodInfo* m = FindMethod(ordinal);
  return m && m->Decode;
}

const MethodInfo* FindMethodByCliName(std::string_view name) {
  for (const auto& m : kMethods)
    if (name == m.CliName) return &m;
  return nullptr;
}

const MethodInfo* FindMethodById(std::string_view id) {
  for (const auto& m : kMethods)
    if (id == m.Id) return &m;
  return nullptr;
}

std::string MethodCliNames() {
  std::string names;
  for (const auto& m : kMethods) {
    if (!m.Writable()) continue;
    if (!names.empty()) names += ", ";
    names += m.CliName;
  }
  return names;
}

}  // namespace tovin
