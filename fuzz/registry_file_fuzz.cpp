// REGEDIT4 reading of arbitrary text: no fault, and a document it accepts reads back as
// the same document once written.
#include <cstdlib>

#include "platform/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto doc = reg::Document::Parse(std::string_view(reinterpret_cast<const char*>(data), size),
                                  "HKEY_LOCAL_MACHINE");
  if (!doc) return 0;
  std::string text = doc->Text();
  auto again = reg::Document::Parse(text, "HKEY_LOCAL_MACHINE");
  if (!again || again->Text() != text) std::abort();
  return 0;
}
