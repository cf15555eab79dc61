#include <cstdio>

#include "tools/commands.h"

namespace tovin::cli {

int CodecCommand(const Args&) {
  std::fprintf(stderr, "tovin: codec is not built yet\n");
  return 1;
}

}  // namespace tovin::cli
