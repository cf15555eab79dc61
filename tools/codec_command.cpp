// tovin codec encode|decode: the raw stream of one method, with its checksum.
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "codec/codec_owner.h"
#include "codec/pack_method.h"
#include "codec/run_codec.h"
#include "platform/stream.h"
#include "tools/commands.h"

namespace tovin::cli {
namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: tovin codec encode -m lh5|lzh|rle [-k KEY] IN OUT\n"
               "       tovin codec decode -m lh5|lzh|rle -s EXPANDED_SIZE [-k KEY] IN OUT\n");
  return 2;
}

bool ParseInt32(const std::string& text, int32_t& value) {
  char* end = nullptr;
  long long v = std::strtoll(text.c_str(), &end, 0);
  if (text.empty() || *end || v < INT32_MIN || v > 4294967295LL) return false;
  value = static_cast<int32_t>(static_cast<uint32_t>(v));
  return true;
}

}  // namespace

int CodecCommand(const Args& argsIn) {
  if (argsIn.empty()) return Usage();
  std::string verb = argsIn[0];
  if (verb != "encode" && verb != "decode") return Usage();
  int method = -1;
  int32_t key = 0, size = -1;
  bool haveKey = false;
  Args files;
  for (size_t i = 1; i < argsIn.size(); ++i) {
    const std::string& a = argsIn[i];
    if ((a == "-m" || a == "-k" || a == "-s") && i + 1 < argsIn.size()) {
      const std::string& v = argsIn[++i];
      if (a == "-m") method = v == "lh5" ? coLZH5 : v == "lzh" ? coLZH : v == "rle" ? coRLE : -1;
      else if (a == "-k" ? !(haveKey = ParseInt32(v, key)) : !ParseInt32(v, size) || size < 0) {
        std::fprintf(stderr, "tovin: %s is not a number for %s\n", v.c_str(), a.c_str());
        return 2;
      }
      if (a == "-m" && method < 0) {
        std::fprintf(stderr, "tovin: unknown method %s (lh5, lzh or rle)\n", v.c_str());
        return 2;
      }
    } else {
      files.push_back(a);
    }
  }
  bool decode = verb == "decode";
  if (method < 0 || files.size() != 2 || (decode && size < 0)) return Usage();

  FileStream in(plat::FromHostPath(files[0]), FileStream::Mode::OpenRead);
  int64_t inputSize = in.Size();
  if (inputSize > 2147483647) {
    std::fprintf(stderr, "tovin: %s is larger than 2 GiB\n", files[0].c_str());
    return 1;
  }
  FileStream out(plat::FromHostPath(files[1]), FileStream::Mode::Create);
  PlainCodecOwner owner(key);
  uint32_t checksum = 0;
  RunCodecWithBudget(owner, out, in, haveKey, decode ? kExpand : kCompress, static_cast<uint8_t>(method), size,
                     static_cast<int32_t>(inputSize), 2147483647, checksum);
  std::cout << checksum << "\n";
  return 0;
}

}  // namespace tovin::cli
