// A whole package made of arbitrary bytes (see package_input.h), expanded the way the setup
// expands it (every file by its bare name into one folder, which holds planted links) or only
// tested, copying each archive whole first or expanding it as it is copied: the defined errors
// only, and nothing outside the machine changed after each input.
#include <string>

#include "fuzz/fuzz_scratch.h"
#include "fuzz/package_input.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "platform/stream.h"
#include "segment/seg_format.h"
#include "segment/seg_vellox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovin;
  static fuzz::ScratchMachine machine("package_expand_fuzz");
  fuzz::PackageInput input = fuzz::ReadPackageInput(data, size);
  if (input.Segments.empty()) return 0;
  machine.Reset();
  plat::CreateDirectory("C:\\pkg");
  for (unsigned n = 1; n <= input.Segments.size(); ++n) {
    FileStream f("C:\\pkg\\" + SegmentFileName("set", "", n), FileStream::Mode::Create);
    f.WriteAll(input.Segments[n - 1].data(), static_cast<int64_t>(input.Segments[n - 1].size()));
  }
  TSegVelloxEZ seg;
  seg.SetSegDir("C:\\pkg");
  seg.SetSegBaseName("set");
  seg.SegPopUp = false;
  seg.SetSegTmpDir("C:\\tmp");
  seg.TestOnly = input.TestOnly;
  seg.KeyValue = input.Key;
  seg.ExpandWhileCopying = input.WhileCopying;
  seg.DecodeThreads = input.WhileCopying ? 2 : 1;
  // As the setup does: every file by its bare name in its own temporary folder.
  seg.OnCheckFile = [](std::string& path, TCProcessMode) {
    path = std::string(fuzz::ScratchMachine::kTarget) + "\\" + path.substr(path.find_last_of("\\/:") + 1);
  };
  try {
    seg.ExpandSet();
  } catch (const Exception&) {
  }
  machine.Check();
  return 0;
}
