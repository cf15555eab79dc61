// Archive listing and expansion of arbitrary bytes: the defined errors only.
#include "container/vellox.h"
#include "fuzz/fuzz_limits.h"
#include "platform/exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovin;
  if (fuzz::AsksForLargeMembers(data, size)) return 0;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  TVellox v;
  v.TestOnly = true;
  v.KeyValue = size % 3 == 0 ? 0x0BADF00D : 0;
  v.OnRecognize = [](const std::string&, bool& ok) { ok = true; };
  try {
    MemoryStream in(bytes);
    std::string id;
    v.ReadArchiveHeader(in, id);
    TMemberHeader h;
    std::string name;
    while (v.ReadMemberHeader(in, h, name)) in.Seek(h.StoredSize, kSeekCurrent);
  } catch (const Exception&) {
  }
  try {
    MemoryStream in(bytes);
    std::vector<std::string> selection{"a", "B"};
    v.ExpandArchiveStream(in, size % 2 ? &selection : nullptr);
  } catch (const Exception&) {
  }
  return 0;
}
