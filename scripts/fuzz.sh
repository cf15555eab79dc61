#!/usr/bin/env bash
# Bounded fuzzing of every fuzz target: fuzz.sh [SECONDS_PER_TARGET] (default 15).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
echo "== fuzzing, ${seconds}s per target"
cmake --preset fuzz -G Ninja >/dev/null
cmake --build --preset fuzz
for target in build/fuzz/fuzz/*_fuzz; do
  corpus=build/fuzz/corpus/$(basename "$target")
  mkdir -p "$corpus"
  echo "-- $(basename "$target")"
  log=build/fuzz/$(basename "$target").log
  if ! "$target" -artifact_prefix=build/fuzz/ -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 -timeout=30 "$corpus" >"$log" 2>&1; then
    tail -40 "$log"
    echo "!! $(basename "$target") found a failure"
    exit 1
  fi
  grep -E '^Done' "$log" || true
done
