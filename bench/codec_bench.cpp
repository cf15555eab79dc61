// Throughput of the three methods in both directions over text and binary-like data.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "codec/codec_owner.h"
#include "codec/run_codec.h"
#include "platform/stream.h"

namespace {

using namespace tovin;

std::string Corpus() {
  static const char* words[] = {"setup ", "install ", "the ", "archive ", "segment ", "of ", "and ",
                                "Windows ", "directory\r\n", "file ", "a ", "copy ", "disk ", "Tovin. "};
  std::string s;
  uint32_t x = 1;
  while (s.size() < (4u << 20)) {
    x = x * 1103515245u + 12345u;
    if ((x >> 28) == 0) {  // some binary noise between the text
      for (int i = 0; i < 300; ++i) {
        x = x * 1103515245u + 12345u;
        s += static_cast<char>(x >> 24);
      }
    }
    s += words[(x >> 16) % 14];
  }
  return s;
}

// TOVIN_BENCH_CORPUS names a file to code instead of the built-in corpus (real data: the
// corpus of bench/side_by_side.sh).
std::string Load() {
  const char* path = std::getenv("TOVIN_BENCH_CORPUS");
  if (path == nullptr || *path == '\0') return Corpus();
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

const std::string& Data() {
  static const std::string data = Load();
  return data;
}

std::string Compress(uint8_t method) {
  MemoryStream in(Data()), out;
  PlainCodecOwner owner;
  uint32_t sum;
  RunCodecWithBudget(owner, out, in, false, kCompress, method, 0, static_cast<int32_t>(Data().size()), 2147483647, sum);
  return out.Data();
}

void Encode(benchmark::State& state) {
  auto method = static_cast<uint8_t>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(Compress(method));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data().size()));
}

void Decode(benchmark::State& state) {
  auto method = static_cast<uint8_t>(state.range(0));
  std::string packed = Compress(method);
  PlainCodecOwner owner;
  for (auto _ : state) {
    MemoryStream in(packed), out;
    uint32_t sum;
    RunCodec(owner, out, in, false, kExpand, method, static_cast<int32_t>(Data().size()),
             static_cast<int32_t>(packed.size()), sum);
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data().size()));
  state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(Data().size());
}

BENCHMARK(Encode)->Arg(coLZH5)->Arg(coLZH)->Arg(coRLE)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode)->Arg(coLZH5)->Arg(coLZH)->Arg(coRLE)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
