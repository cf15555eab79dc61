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
