#!/usr/bin/env bash
# Runs every hostile input of bench/hostile_inputs.cpp through list, test, extract and
# extract --flat (archive list/test/extract for the bare archives) with each tovin binary given,
# and prints one table: exit status, wall seconds, peak RSS, bytes in the target, and anything
# changed outside it (the planted links' targets, leftovers in TMPDIR).
# Usage: bench/hostile.sh [-t SECONDS] [-o ONLY_REGEX] [TOVIN]...
#   default: this tree's release build only; give an older build first to compare before/after
#   (e.g. one built from a checkout of an earlier commit with `cmake --preset release`).
# Targets live on a 3 GiB tmpfs (as root), so a binary that writes terabytes fills that, not the
# disk. Every run is cut off after SECONDS (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
limit=10 only=.
while getopts t:o: opt; do
  case $opt in
    t) limit=$OPTARG ;;
    o) only=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))

cmake --preset release -G Ninja >/dev/null
cmake --build --preset release --target tovin hostile_inputs >/dev/null
bins=("$@")
[ ${#bins[@]} -gt 0 ] || bins=("$PWD/build/release/tools/tovin")
for b in "${bins[@]}"; do [ -x "$b" ] || { echo "no tovin at $b" >&2; exit 2; }; done

inputs=$PWD/build/hostile
build/release/bench/hostile_inputs "$inputs" >/dev/null

mnt=$(mktemp -d /tmp/tovin-hostile-XXXXXX)
if [ "$(id -u)" = 0 ]; then
  mount -t tmpfs -o size=3g tovin-hostile "$mnt"
  trap 'cd /; umount "$mnt"; rmdir "$mnt"' EXIT
else
  echo "not root: no tmpfs, the targets are plain folders in $mnt (the old code may fill the disk)" >&2
  trap 'cd /; rm -rf "$mnt"' EXIT
fi
log=$PWD/build/hostile-log
rm -rf "$log" && mkdir -p "$log"

label() {  # the tree a binary was built in: .../NAME/build/... -> NAME
  local p=$1
  case $p in */build/*/tools/tovin) p=${p%/build/*}; echo "${p##*/}" ;; *) echo "$p" ;; esac
}

# The state of the folder outside the target, the planted links' targets among it.
victim_state() { (cd "$mnt/victim" && find . -printf '%p %y %s %m %T@\n' | sort && cat victim.txt) | md5sum; }

printf '%-15s %-17s %-11s %7s %8s %9s %14s  %-10s %s\n' input command binary exit seconds "RSS MB" "files/bytes" outside message
run_one() {  # input-name kind command... ; kind: pkg or arc
  local name=$1 kind=$2 bin=$3 cmdname=$4
  shift 4
  local target=$mnt/target tmp=$mnt/tmp links
  rm -rf "$target" "$tmp" "$mnt/victim"
  mkdir -p "$target" "$tmp" "$mnt/victim"
  echo "the file outside the target" > "$mnt/victim/victim.txt"
  links=$inputs/$kind/$name.links
  if [ -f "$links" ]; then
    while read -r l t; do ln -s "$mnt/victim/$t" "$target/$l"; done < "$links"
  fi
  local before after
  before=$(victim_state)
  local out=$log/$name.$kind.$cmdname.$(label "$bin")
  local rc=0
  (cd "$target" && TMPDIR=$tmp /usr/bin/time -f '%e %M' -o "$out.time" \
     timeout -k 5 "$limit" "$bin" "$@" >"$out.stdout" 2>"$out.stderr") || rc=$?
  if [ $rc = 124 ] || [ $rc = 137 ]; then rc=timeout; fi
  local secs=? rss=0
  read -r secs rss < <(grep -E '^[0-9.]+ [0-9]+$' "$out.time" | tail -1) || true
  after=$(victim_state)
  local outside=-
  [ "$before" = "$after" ] || outside=CHANGED
  local tmpbytes
  tmpbytes=$(du -sb "$tmp" | cut -f1)
  [ "$tmpbytes" -le 4096 ] || outside="$outside,tmp:$tmpbytes"
  local bytes
  bytes=$(find "$target" -type f -printf '%s\n' | awk '{ s += $1 } END { print NR "/" s + 0 }')
  local msg
  msg=$(tail -n 1 "$out.stderr" | tr -cd '[:print:]' | sed -E 's/^tovin [a-z ]*: (archive tovinsetup.vlx, )?//' | cut -c1-70)
  printf '%-15s %-17s %-11s %7s %8s %9s %14s  %-10s %s\n' "$name" "$cmdname" "$(label "$bin")" "$rc" "$secs" \
    "$((rss / 1024))" "$bytes" "$outside" "$msg"
}

start=$(date +%s)
for dir in "$inputs"/pkg/*/; do
  name=$(basename "$dir")
  [[ $name =~ $only ]] || continue
  for bin in "${bins[@]}"; do
    run_one "$name" pkg "$bin" list list "$dir"
    run_one "$name" pkg "$bin" test test "$dir"
    run_one "$name" pkg "$bin" extract extract -C . "$dir"
    run_one "$name" pkg "$bin" "extract --flat" extract --flat -C . "$dir"
  done
done
for arc in "$inputs"/arc/*.vlx; do
  name=$(basename "$arc" .vlx)
  [[ $name =~ $only ]] || continue
  for bin in "${bins[@]}"; do
    run_one "$name" arc "$bin" "archive list" archive list "$arc"
    run_one "$name" arc "$bin" "archive test" archive test "$arc"
    run_one "$name" arc "$bin" "archive extract" archive extract -C . "$arc"
  done
done
echo
echo "timeout ${limit}s per run; RSS is the peak of the process; files/bytes: the regular files left in"
echo "the target and their sizes; outside: CHANGED when the folder the planted links point into changed,"
echo "tmp:N for bytes left in TMPDIR. Logs: $log. Whole run: $(( $(date +%s) - start )) s."
