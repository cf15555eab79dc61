// A segment set made of arbitrary bytes, in two segment files: the defined errors only, and
// nothing written outside the folders the run owns.
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_limits.h"
#include "platform/platform.h"
#include "platform/stream.h"
#include "segment/seg_vellox.h"

namespace {

void Put(const std::string& path, const std::string& bytes) {
  tovin::FileStream f(path, tovin::FileStream::Mode::Create);
  f.WriteAll(bytes.data(), static_cast<int64_t>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovin;
  static bool ready = [] {
    char tmpl[] = "/tmp/tovin-fuzz-XXXXXX";
    plat::SetMachineRoot(mkdtemp(tmpl));
    plat::CreateDirectory("C:\\pkg");
    return true;
  }();
  (void)ready;
  if (size < 1 || fuzz::AsksForLargeMembers(data + 1, size - 1)) return 0;
  std::string stream(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t cut = stream.empty() ? 0 : data[0] % (stream.size() + 1);
  Put("C:\\pkg\\set.001", std::string("SSeg\0\0\x01\0", 8) + stream.substr(0, cut));
  Put("C:\\pkg\\set.002", std::string("SSeg\0\0\x02\0", 8) + stream.substr(cut));
  TSegVelloxEZ seg;
  seg.SetSegDir("C:\\pkg");
  seg.SetSegBaseName("set");
  seg.SegPopUp = false;
  seg.SetSegTmpDir("C:\\tmp");
  seg.TestOnly = true;
  try {
    seg.ExpandSet();
  } catch (const Exception&) {
  }
  return 0;
}
