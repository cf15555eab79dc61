// Extraction of arbitrary bytes as an archive into a folder holding links (to a folder and a
// file beside the machine, and a dangling one): the defined errors only, and nothing outside
// the machine changed after each input.
#include <string>
#include <vector>

#include "container/vellox.h"
#include "fuzz/fuzz_limits.h"
#include "fuzz/fuzz_scratch.h"
#include "platform/exception.h"
#include "platform/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovin;
  static fuzz::ScratchMachine machine("archive_extract_fuzz");
  machine.Reset();
  std::string bytes(reinterpret_cast<const char*>(data), size);
  fuzz::CapMemberSizes(bytes);
  TVellox v;
  v.SetTargetPath(std::string(fuzz::ScratchMachine::kTarget) + "\\");
  v.MakeDirectories = true;
  v.ExceptionOnFileError = size % 2 == 0;
  v.CheckSpaceBeforeExpand = true;
  v.KeyValue = size % 3 == 0 ? 0x0BADF00D : 0;
  v.OnRecognize = [](const std::string&, bool& ok) { ok = true; };
  try {
    MemoryStream in(bytes);
    std::vector<std::string> selection{"flink", "LINK\\file", "dangling"};
    v.ExpandArchiveStream(in, size % 5 == 0 ? &selection : nullptr);
  } catch (const Exception&) {
  }
  machine.Check();
  return 0;
}
