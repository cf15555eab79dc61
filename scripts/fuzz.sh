#!/usr/bin/env bash
# Bounded fuzzing of every fuzz target: fuzz.sh [SECONDS_PER_TARGET] (default 15).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
echo "== fuzzing, ${seconds}s per target"
cmake --preset fuzz -G Ninja >/dev/null
cmake --build --preset fuzz
# Crashes, leaks, timeouts and slow units go below build/, never into the source tree.
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
rm -rf build/fuzz/scratch  # left by runs that crashed

# Seeds for the writing targets: small archives and packages made by tovin itself, with members
# named like the links the targets plant in their folder.
seed() {
  local tovin=build/fuzz/tools/tovin work=build/fuzz/seeds
  rm -rf "$work"
  mkdir -p "$work/src/LINK" "$work/src/sub/deep" build/fuzz/corpus/archive_extract_fuzz \
    build/fuzz/corpus/package_expand_fuzz
  echo "through the folder link" >"$work/src/LINK/file"
  echo "over the file link" >"$work/src/flink"
  echo "through the dangling link" >"$work/src/dangling"
  seq 1 200 >"$work/src/sub/deep/numbers.txt"
  : >"$work/src/empty"
  for method in none rle lzh lh5; do
    for key in 0 0x0BADF00D; do
      local name=$method-$key
      "$tovin" archive create -q -m "$method" -k "$key" -C "$work/src" \
        "build/fuzz/corpus/archive_extract_fuzz/seed-$name.vlx" LINK flink dangling sub empty
    done
    "$tovin" pack -q -m "$method" -o "$work/pkg-$method" "$work/src"
    # flags (bit 0: test only), the segment payload size (0: one segment; 256), the set's bytes
    for head in '\x00\x00\x00' '\x01\x00\x00' '\x00\x00\x01' '\x01\x00\x01'; do
      { printf "$head"; for f in "$work/pkg-$method"/tovinsetup.[0-9][0-9][0-9]; do tail -c +9 "$f"; done; } \
        >"build/fuzz/corpus/package_expand_fuzz/seed-$method-$(printf "$head" | od -An -tx1 | tr -d ' \n')"
    done
  done
}
seed
for target in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$target")
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  echo "-- $name"
  log=build/fuzz/$name.log
  if ! "$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 -timeout=30 \
      -artifact_prefix="$artifacts/$name-" "$corpus" >"$log" 2>&1; then
    tail -40 "$log"
    echo "!! $name found a failure (input kept in $artifacts)"
    exit 1
  fi
  grep -E '^Done' "$log" || true
done
