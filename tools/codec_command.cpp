// tovin codec encode|decode: the raw stream of one method, with its checksum.
#include <cstdio>
#include <memory>

#include "codec/codec_owner.h"
#include "codec/method_table.h"
#include "codec/pack_method.h"
#include "codec/run_codec.h"
#include "platform/exception.h"
#include "platform/stream.h"
#include "tools/commands.h"
#include "tools/exit_codes.h"

namespace tovin::cli {

int CodecCommand(const Args& argsIn, const Globals&) {
  static const char* kUsage =
      "usage: tovin codec encode -m lh5|lzh|rle [-k KEY] IN OUT\n"
      "       tovin codec decode -m lh5|lzh|rle -s EXPANDED_SIZE [-k KEY] IN OUT\n"
      "\n"
      "A raw stream of one method, without an archive around it; prints the checksum of the\n"
      "expanded bytes.\n"
      "\n"
      "Options:\n"
      "  -m, --method METHOD  lh5, lzh or rle\n"
      "  -s, --size SIZE      decode: the expanded size, 0 to 2147483647 (the stream does not say)\n"
      "  -k, --key KEY        scramble with this key, decimal or 0x hex, 32 bits (default 0)\n"
      "tovin codec VERB --help shows one verb's options.\n";
  if (argsIn.empty() || argsIn[0] == "-h" || argsIn[0] == "--help") {
    std::fputs(kUsage, argsIn.empty() ? stderr : stdout);
    return argsIn.empty() ? kExitUsage : kExitOk;
  }
  std::string verb = argsIn[0];
  if (verb != "encode" && verb != "decode") throw UsageError("unknown codec command '" + verb + "'");
  bool decode = verb == "decode";
  std::string methodName, inName, outName;
  int64_t key = 0, size = -1;
  OptionParser p("codec " + verb, decode ? "-m METHOD -s SIZE [-k KEY] IN OUT" : "-m METHOD [-k KEY] IN OUT",
                 decode ? "Decodes a raw stream of one method; prints the checksum of the output."
                        : "Encodes a file into a raw stream of one method; prints the checksum of the input.");
  p.Choice("-m,--method", "METHOD", "one of the coded methods", methodName, MethodChoices(true));
  if (decode) p.Number("-s,--size", "SIZE", "the expanded size, 0 to 2147483647", size, 0, 2147483647);
  p.Number("-k,--key", "KEY", "scramble with this key (decimal or 0x hex, 32 bits)", key, INT32_MIN, UINT32_MAX);
  p.Positional("IN", "the input file", inName, true);
  p.Positional("OUT", "the output file", outName, true);
  if (!p.Parse(Args(argsIn.begin() + 1, argsIn.end()))) return kExitOk;
  if (methodName.empty()) throw UsageError("missing -m METHOD");
  if (decode && size < 0) throw UsageError("missing -s SIZE");
  uint8_t method = MethodByName(methodName);

  FileStream in(plat::FromHostPath(inName), FileStream::Mode::OpenRead);
  int64_t inputSize = in.Size();
  if (inputSize > 2147483647) throw EGeneralError(inName + " is larger than 2 GiB");
  std::string outPath = plat::FromHostPath(outName);
  auto out = std::make_unique<FileStream>(outPath, FileStream::Mode::Create);
  PlainCodecOwner owner(static_cast<int32_t>(static_cast<uint32_t>(key)));
  uint32_t checksum = 0;
  try {
    RunCodecWithBudget(owner, *out, in, p.Given("-k") || p.Given("--key"), decode ? kExpand : kCompress, method,
                       static_cast<int32_t>(size), static_cast<int32_t>(inputSize), 2147483647, checksum);
  } catch (...) {
    out.reset();
    plat::DeleteFile(outPath);  // a stream that failed leaves no half-written output behind
    throw;
  }
  std::printf("%u\n", checksum);
  return kExitOk;
}

}  // namespace tovin::cli
