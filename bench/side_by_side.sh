#!/usr/bin/env bash
# tovin against the usual tools, side by side in one run on the same inputs:
#   lh5 decode against 7z t, lhasa t and gzip -d; lh5 encode against jlha a and gzip -6, on a
#   corpus of this machine's files (text and binaries mixed);
#   tovin pack and extract against tar czf/xzf and tar -I zstd, on a copy of /usr/share/doc and
#   on shared libraries from /usr/lib (links, and names Windows cannot hold, left out);
#   tovin extract of a flat folder of small files at two sizes, and how the time grows;
#   tovin setup of a package of many small files in 20 folders and of one of a few large files,
#   against tovin extract --flat of the same package plus cp of its files into those folders.
# Every figure is the best wall time of RUNS whole processes (of 10 for the quick decoders).
# With --baseline (or BASELINE=OLD_TOVIN) every tovin row is also measured for that binary.
# Ends with the goals and PASS or MISS. Needs a few GB free below build/: outputs are kept
# until the end (see retire). SETUP_FILES and SETUP_MB (or the options) scale the setup rows
# down for a quick run.
# Usage: bench/side_by_side.sh [--mb N] [--doc-mb N] [--lib-mb N] [--flat "2000 8000"] [--runs N]
#                              [--setup-files N] [--setup-mb N] [--baseline OLD_TOVIN]
set -euo pipefail
cd "$(dirname "$0")/.."
mb=48 doc_mb=0 lib_mb=300 flat="2000 8000" runs=3 baseline=${BASELINE:-}
setup_files=${SETUP_FILES:-2000} setup_mb=${SETUP_MB:-300}
while [ $# -gt 0 ]; do
  case $1 in
    --mb) mb=$2; shift 2 ;;
    --doc-mb) doc_mb=$2; shift 2 ;;  # 0: all of /usr/share/doc
    --lib-mb) lib_mb=$2; shift 2 ;;
    --flat) flat=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --setup-files) setup_files=$2; shift 2 ;;
    --setup-mb) setup_mb=$2; shift 2 ;;
    --baseline) baseline=$2; shift 2 ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
read -r flat_small flat_big <<<"$flat"
bash scripts/deps.sh lhasa p7zip-full jlha-utils zstd python3 >/dev/null
cmake --preset release -G Ninja >/dev/null
cmake --build --preset release --target tovin >/dev/null
tovin=$PWD/build/release/tools/tovin
if [ -n "$baseline" ]; then
  [ -x "$baseline" ] || { echo "no tovin at $baseline" >&2; exit 2; }
  baseline=$(realpath "$baseline")
fi
repo=$PWD
work=$(mktemp -d "$PWD/build/bench-XXXXXX")  # on the disk, not a tmpfs: extraction is file-system work
trap 'rm -rf "$work"' EXIT
cd "$work"
started=$(date +%s)

# What a run wrote is moved aside, not deleted, until the script ends: on ext4 without a journal
# (as on this machine) the kernel will not reuse an inode deleted less than a minute before and
# scans past every such inode for each new file, so whatever ran after a deletion of thousands
# of files would be charged for it, more than linearly in their number.
retire() {  # PATH...
  mkdir -p "$work/retired"
  local p
  for p in "$@"; do
    if [ -e "$p" ]; then mv "$p" "$(mktemp -d "$work/retired/XXXXXX")/"; fi
  done
  return 0
}

# Before each timed run that writes: what was written is on the disk, the page cache is given
# back (as root; this machine is a virtual one, and memory it never touched costs a fault in the
# host on first use, so the process that runs on fresh memory would be charged for it), and the
# run's inputs are read into the page cache again. Every contender gets the same.
settle() {  # INPUT...
  sync
  if [ -w /proc/sys/vm/drop_caches ]; then echo 1 > /proc/sys/vm/drop_caches; fi
  find "$@" -type f -exec cat {} + > /dev/null
}

# best PREP CMD...: the best wall time of RUNS runs of CMD, PREP (not timed) before each. With
# short=1 a command done in under half a second is run at least 10 times: one busy moment of
# the machine weighs more on it (only where every contender is that quick, so all get as many).
short=0
best() {
  local prep=$1 best=999999 t0 t1 n=$runs
  shift
  for ((i = 0; i < n; i++)); do
    eval "$prep"
    t0=$(date +%s.%N)
    if ! "$@" >/dev/null 2>"$work/last.err"; then
      echo "FAILED: $* ($(tail -n 1 "$work/last.err"))" >&2
    fi
    t1=$(date +%s.%N)
    best=$(awk -v a="$t0" -v b="$t1" -v m="$best" 'BEGIN { d = b - a; print (d < m) ? d : m }')
    if ((short && i == 0 && n < 10)) && awk -v b="$best" 'BEGIN { exit !(b < 0.5) }'; then n=10; fi
  done
  echo "$best"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
row() { printf '  %-30s %s\n' "$1" "$2"; }
secs() { printf '%8.2f' "$1"; }
mib() { du -sb "$1" | awk '{ printf "%11.1f", $1 / 1048576 }'; }
goals=()
goal() {  # text, value, comparison (ge/le), limit, baseline value or empty
  local pass
  pass=$(awk -v v="$2" -v l="$4" -v c="$3" 'BEGIN { print ((c == "ge" && v >= l) || (c == "le" && v <= l)) ? "PASS" : "MISS" }')
  goals+=("$(printf '  %-52s %7.2f  %s%s' "$1" "$2" "$pass" "${5:+   (baseline $5)}")")
}

# --- lh5 on a corpus: half text, half binaries, interleaved by file -----------------------
{
  find /usr/share/doc /usr/share/common-licenses /usr/include -type f -size -2M 2>/dev/null | sort | head -20000 > text.list
  find /usr/bin /usr/lib/x86_64-linux-gnu -maxdepth 1 -type f -size -8M 2>/dev/null | sort > bin.list
  # One cat for many files: a process per file took minutes. Unreadable files are passed over.
  paste -d '\n' text.list bin.list | grep -v '^$' | tr '\n' '\0' | xargs -0 cat 2>/dev/null || true
} | head -c $((mb * 1024 * 1024)) > corpus
size=$(stat -c %s corpus)
rate() { awk -v s="$size" -v t="$1" 'BEGIN { printf "%8.1f", s / 1048576 / t }'; }
"$tovin" codec encode -m lh5 corpus corpus.lh5 >/dev/null
packed=$(stat -c %s corpus.lh5)
# A level-0 LHA archive around our stream, for the other decoders.
python3 - "$size" "$packed" <<'PY'
import struct, sys
size, packed = int(sys.argv[1]), int(sys.argv[2])
data = open('corpus', 'rb').read()
table = []
for i in range(256):
    c = i
    for _ in range(8):
        c = (c >> 1) ^ 0xA001 if c & 1 else c >> 1
    table.append(c)
crc = 0
for b in data:
    crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8)
name = b'corpus'
h = b'-lh5-' + struct.pack('<IIIBBB', packed, size, 0x2A4320A3, 0x20, 0, len(name)) + name + struct.pack('<H', crc)
with open('ours.lzh', 'wb') as f:
    f.write(bytes([len(h), sum(h) & 0xFF]) + h + open('corpus.lh5', 'rb').read() + b'\0')
PY
gzip -6 -c corpus > corpus.gz
short=1
# Decoding is timed as a test of a one-member archive: the sandboxed file layer writes regular
# files only, not /dev/null, and a test checks the sum as 7z t checks the CRC.
"$tovin" -q archive create -m lh5 corpus.vlx corpus >/dev/null
t_dec=$(best : "$tovin" -q archive test -j 1 corpus.vlx)
[ -z "$baseline" ] || b_dec=$(best : "$baseline" -q archive test -j 1 corpus.vlx)
t_7z=$(best : 7z t ours.lzh)
t_lhasa=$(best : lha t ours.lzh)
t_gunzip=$(best : sh -c 'gzip -d -c corpus.gz > /dev/null')
short=0
t_enc=$(best : "$tovin" codec encode -m lh5 corpus enc.lh5)
cmp -s corpus.lh5 enc.lh5 || echo "!! the encoder's output differs between runs" >&2
if [ -n "$baseline" ]; then
  b_enc=$(best : "$baseline" codec encode -m lh5 corpus old.lh5)
  cmp -s corpus.lh5 old.lh5 || echo "!! the encoder's output differs from the baseline's" >&2
fi
t_jlha=$(best 'retire j.lzh' jlha a j.lzh corpus)
t_gzip=$(best : sh -c 'gzip -6 -c corpus > g.gz')

echo "corpus: $size bytes from /usr/share/doc, /usr/include, /usr/bin, /usr/lib; best of $runs runs (decoding: of 10)"
printf '\n  %-30s %8s %8s\n' "lh5 decode" seconds MB/s
row "tovin archive test -j 1" "$(secs "$t_dec") $(rate "$t_dec")"
[ -z "$baseline" ] || row "baseline archive test -j 1" "$(secs "$b_dec") $(rate "$b_dec")"
row "7z t (decode + CRC)" "$(secs "$t_7z") $(rate "$t_7z")"
row "lhasa t (decode + CRC)" "$(secs "$t_lhasa") $(rate "$t_lhasa")"
row "gzip -d" "$(secs "$t_gunzip") $(rate "$t_gunzip")"
printf '\n  %-30s %8s %8s %10s\n' "lh5 encode" seconds MB/s bytes
row "tovin codec encode" "$(secs "$t_enc") $(rate "$t_enc") $(printf '%10d' "$packed")"
[ -z "$baseline" ] || row "baseline codec encode" "$(secs "$b_enc") $(rate "$b_enc") $(printf '%10d' "$(stat -c %s old.lh5)")"
row "jlha a" "$(secs "$t_jlha") $(rate "$t_jlha") $(printf '%10d' "$(stat -c %s j.lzh)")"
row "gzip -6" "$(secs "$t_gzip") $(rate "$t_gzip") $(printf '%10d' "$(stat -c %s g.gz)")"
goal "lh5 decode, times the speed of 7z t (>= 4)" "$(ratio "$t_7z" "$t_dec")" ge 4 "${b_dec:+$(ratio "$t_7z" "$b_dec")}"
goal "lh5 encode, times the speed of jlha (>= 2)" "$(ratio "$t_jlha" "$t_enc")" ge 2 "${b_enc:+$(ratio "$t_jlha" "$b_enc")}"

# --- trees: pack and extract against tar --------------------------------------------------
# Copies regular files only (no links), in sorted order up to a size, leaving out what pack
# refuses: names Windows cannot hold, long paths, names that differ only in letter case.
copy_tree() {  # SRC DST MB NAME-REGEX
  python3 - "$@" <<'PY'
import os, re, shutil, sys
src, dst, cap, want = sys.argv[1], sys.argv[2], int(sys.argv[3]) * 1048576, re.compile(sys.argv[4])
bad = re.compile(r'[<>:"|?*\\\x00-\x1f]')
device = re.compile(r'^(con|prn|aux|nul|com[1-9]|lpt[1-9])(\..*)?$', re.I)
canon, total, count = {}, 0, 0
for root, dirs, files in os.walk(src):
    dirs.sort()
    for f in sorted(files):
        p = os.path.join(root, f)
        if os.path.islink(p) or not os.path.isfile(p) or not want.search(f):
            continue
        rel = os.path.relpath(p, src)
        parts = rel.split('/')
        if len(rel) > 200 or any(bad.search(x) or x.endswith(('.', ' ')) or device.match(x) for x in parts):
            continue
        prefixes = ['/'.join(parts[:i + 1]) for i in range(len(parts))]
        if any(canon.get(x.lower(), x) != x for x in prefixes):
            continue
        size = os.path.getsize(p)
        if cap and total + size > cap:
            continue
        for x in prefixes:
            canon[x.lower()] = x
        os.makedirs(os.path.join(dst, os.path.dirname(rel)), exist_ok=True)
        try:
            shutil.copyfile(p, os.path.join(dst, rel))
        except OSError:
            continue
        total += size
        count += 1
print(count, total)
PY
}

declare -A tree_pack tree_extract
tree() {  # NAME SRC MB NAME-REGEX
  local name=$1 files bytes
  read -r files bytes < <(copy_tree "$2" "$name" "$3" "$4")
  find "$name" -type f -exec cat {} + >/dev/null  # into the page cache for every contender alike
  local tp te bp be cz xz cs xs
  tp=$(best "retire $name.pkg; settle $name" "$tovin" -q pack --allow-incomplete -o "$name.pkg" "$name")
  te=$(best "retire x; settle $name.pkg" "$tovin" -q extract -C x "$name.pkg")
  if [ -n "$baseline" ]; then
    bp=$(best "retire $name.old; settle $name" "$baseline" -q pack --allow-incomplete -o "$name.old" "$name")
    be=$(best "retire x; settle $name.pkg" "$baseline" -q extract -C x "$name.pkg")
  fi
  cz=$(best "retire $name.tgz; settle $name" tar czf "$name.tgz" -C "$name" .)
  xz=$(best "retire x; mkdir x; settle $name.tgz" tar xzf "$name.tgz" -C x)
  cs=$(best "retire $name.tzst; settle $name" tar -I zstd -cf "$name.tzst" -C "$name" .)
  xs=$(best "retire x; mkdir x; settle $name.tzst" tar -I zstd -xf "$name.tzst" -C x)
  retire x
  printf '\n  %-30s %8s %8s %11s\n' "$name: $files files, $((bytes / 1048576)) MB" pack extract "packed MB"
  row "tovin pack / extract" "$(secs "$tp") $(secs "$te") $(mib "$name.pkg")"
  [ -z "$baseline" ] || row "baseline pack / extract" "$(secs "$bp") $(secs "$be") $(mib "$name.old")"
  row "tar czf / xzf" "$(secs "$cz") $(secs "$xz") $(mib "$name.tgz")"
  row "tar -I zstd cf / xf" "$(secs "$cs") $(secs "$xs") $(mib "$name.tzst")"
  tree_pack[$name]="$tp $cz ${bp:-}"
  tree_extract[$name]="$te $xz $xs ${be:-}"
  retire "$name.pkg" "$name.old" "$name.tgz" "$name.tzst"
}
echo
echo "trees (best of $runs runs; extraction of the package the current tovin wrote)"
tree doc /usr/share/doc "$doc_mb" '.'
tree libs /usr/lib "$lib_mb" '\.so(\.|$)'
read -r tp cz bp <<<"${tree_pack[doc]}"
goal "pack doc, times tar czf's time (<= 0.6)" "$(ratio "$tp" "$cz")" le 0.6 "${bp:+$(ratio "$bp" "$cz")}"
read -r tp cz bp <<<"${tree_pack[libs]}"
goal "pack libs, times tar czf's time (<= 0.5)" "$(ratio "$tp" "$cz")" le 0.5 "${bp:+$(ratio "$bp" "$cz")}"
read -r te xz xs be <<<"${tree_extract[libs]}"
goal "extract libs, times tar xzf's time (<= 0.5)" "$(ratio "$te" "$xz")" le 0.5 "${be:+$(ratio "$be" "$xz")}"
goal "extract libs, times tar -I zstd xf's (<= 1.2)" "$(ratio "$te" "$xs")" le 1.2 "${be:+$(ratio "$be" "$xs")}"
retire doc

# --- a flat folder of small files -------------------------------------------------------
declare -A flat_t flat_b
for n in $flat_small $flat_big; do
  mkdir "flat$n"
  python3 - "$n" "flat$n" <<'PY'
import os, sys
n, d = int(sys.argv[1]), sys.argv[2]
data = open('corpus', 'rb').read()
for i in range(n):
    size = 200 + (i * 7919) % 3000
    at = (i * 104729) % max(1, len(data) - size)
    open(os.path.join(d, 'file%05d.txt' % i), 'wb').write(data[at:at + size])
PY
  "$tovin" -q pack --allow-incomplete -o "flat$n.pkg" "flat$n"
  flat_t[$n]=$(best "retire x; settle flat$n.pkg" "$tovin" -q extract -C x "flat$n.pkg")
  [ -z "$baseline" ] || flat_b[$n]=$(best "retire x; settle flat$n.pkg" "$baseline" -q extract -C x "flat$n.pkg")
  retire x "flat$n"
done
printf '\n  %-30s %8s %8s %8s\n' "extract, one folder of" "$flat_small" "$flat_big" growth
row "tovin extract" "$(secs "${flat_t[$flat_small]}") $(secs "${flat_t[$flat_big]}") $(printf '%8.2f' "$(ratio "${flat_t[$flat_big]}" "${flat_t[$flat_small]}")")"
[ -z "$baseline" ] ||
  row "baseline extract" "$(secs "${flat_b[$flat_small]}") $(secs "${flat_b[$flat_big]}") $(printf '%8.2f' "$(ratio "${flat_b[$flat_big]}" "${flat_b[$flat_small]}")")"
goal "extract $flat_big files / $flat_small files (<= 5)" "$(ratio "${flat_t[$flat_big]}" "${flat_t[$flat_small]}")" le 5 \
  "${baseline:+$(ratio "${flat_b[$flat_big]}" "${flat_b[$flat_small]}")}"

# --- the setup against unpacking plus cp ------------------------------------------------
# The same package each time: the setup into a fresh machine, against extract --flat into a
# fresh folder and cp of its files into the folders the setup fills. The peak memory is of one
# more run of each setup.
peak() {  # CMD...: the largest resident size in MB of one run
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f %M -o "$work/peak.txt" "$@" >/dev/null 2>&1 || true
    awk '{ printf "%.1f", $1 / 1024 }' "$work/peak.txt"
  else
    echo "?"
  fi
}
declare -A setup_ratio setup_base
setup_row() {  # NAME FILES FOLDERS [--size BYTES]
  local name=$1 pkg=$1.pkg ts tr tb=""
  python3 "$repo/bench/setup_package.py" corpus "$name" "$2" "$3" "${@:4}"
  printf 'MZ\0bench setup program\n' > "$name/install.exe"
  "$tovin" -q pack --config "$name/install.cfg" --setup "$name/install.exe" -o "$pkg" "$name/src" >/dev/null
  cat > "$name/unpack_and_copy.sh" <<EOS
set -e
"\$1" -q extract --flat -C x/flat "$pkg"
while read -r folder files; do
  mkdir -p "x/dest/\$folder"
  (cd x/flat && cp \$files "../dest/\$folder/")
done < "$name/layout.txt"
EOS
  ts=$(best "retire machine; settle $pkg" "$tovin" -q setup --ui headless --root machine "$pkg")
  local ms; ms=$(peak "$tovin" -q setup --ui headless --root "$work/peak-machine" "$pkg"); retire "$work/peak-machine"
  tr=$(best "retire x; settle $pkg" sh "$name/unpack_and_copy.sh" "$tovin")
  local mb=""
  if [ -n "$baseline" ]; then
    tb=$(best "retire machine; settle $pkg" "$baseline" -q setup --ui headless --root machine "$pkg")
    mb=$(peak "$baseline" -q setup --ui headless --root "$work/peak-machine" "$pkg"); retire "$work/peak-machine"
  fi
  retire machine x
  printf '\n  %-30s %8s %8s %8s\n' "setup: $2 files, $(( $(du -sb "$name/src" | cut -f1) / 1048576 )) MB" seconds ratio "peak MB"
  row "tovin setup" "$(secs "$ts") $(printf '%8.2f %8s' "$(ratio "$ts" "$tr")" "$ms")"
  [ -z "$baseline" ] || row "baseline setup" "$(secs "$tb") $(printf '%8.2f %8s' "$(ratio "$tb" "$tr")" "$mb")"
  row "tovin extract --flat + cp" "$(secs "$tr")"
  setup_ratio[$name]=$(ratio "$ts" "$tr")
  setup_base[$name]=${tb:+$(ratio "$tb" "$tr")}
  retire "$name" "$pkg"
}
echo
echo "setup (best of $runs runs; the ratio is to extract --flat + cp)"
setup_row setup_small "$setup_files" 20
large=4
setup_row setup_large "$large" "$large" --size $((setup_mb * 1048576 / large))
goal "setup $setup_files small files, times extract+cp (<= 1.2)" "${setup_ratio[setup_small]}" le 1.2 "${setup_base[setup_small]}"
goal "setup $setup_mb MB in $large files, times extract+cp (<= 1.2)" "${setup_ratio[setup_large]}" le 1.2 "${setup_base[setup_large]}"

echo
echo "goals (current tovin${baseline:+; baseline $baseline})"
printf '%s\n' "${goals[@]}"
echo "whole run: $(( $(date +%s) - started )) s"
