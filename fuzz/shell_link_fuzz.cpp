// Shell link decoding of arbitrary bytes: no fault, and what it reads survives a write.
#include <cstdlib>

#include "platform/shell_link_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto link = plat::DecodeShellLink(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!link) return 0;
  auto bytes = plat::EncodeShellLink(*link);
  if (bytes && plat::DecodeShellLink(*bytes) != link) std::abort();
  return 0;
}
