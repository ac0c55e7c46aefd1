#!/bin/bash
# tools-bench.sh: the file tools of VexQuilkit end to end under Wine, on a tree of 20,000
# files of 1-4 KB in 50 folders (half of them .obj), beside the Linux tools timed on the
# same files in the same run; then 1,000,000 lines through the real log window.
#   VEX_BENCH_FILES (20000) and VEX_BENCH_LOG_LINES (1000000) make it smaller.
set -euo pipefail
cd "$(dirname "$0")/.."
files=${VEX_BENCH_FILES:-20000}
log_lines=${VEX_BENCH_LOG_LINES:-1000000}
work=$(mktemp -d /tmp/vexbench.XXXXXX)
tag="vexbench$$"
trash="${XDG_DATA_HOME:-$HOME/.local/share}/Trash"
trap 'rm -rf "$work"; rm -f "$trash"/files/${tag}_* "$trash"/info/${tag}_*' EXIT

# A Wine prefix of its own: a test run ending in build/win64 ends every program of its
# prefix, a benchmark included.
bed=build/bench-wine
mkdir -p "$bed"

windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }
now() { date +%s.%N; }
ms_per() { awk -v a="$1" -v b="$2" -v n="$3" 'BEGIN { printf "%.3f", (b - a) * 1000 / n }'; }

python3 - "$work/tree" "$files" "$tag" <<'PY'
import os, random, sys
root, count, tag = sys.argv[1], int(sys.argv[2]), sys.argv[3]
rnd = random.Random(7)
for i in range(count):
    folder = os.path.join(root, "dir%02d" % (i % 50))
    os.makedirs(folder, exist_ok=True)
    name = "%s_%05d%s" % (tag, i, ".obj" if i % 2 else ".cpp")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(rnd.randbytes(rnd.randint(1024, 4096)))
PY
tree="$work/tree"
find "$tree" -type f -exec cat {} + >/dev/null  # both sides read from the cache
deleted=$((files / 2))

t0=$(now); find "$tree" -type f -print0 | xargs -0 md5sum >/dev/null; find "$tree" -type f -print0 | xargs -0 sha1sum >/dev/null; t1=$(now)
linux_hash=$(ms_per "$t0" "$t1" "$files")
t0=$(now); find "$tree" -print0 | xargs -0 touch -d "2000-04-01 00:00:00"; t1=$(now)
linux_time=$(ms_per "$t0" "$t1" "$files")

run_tool() {
    local out
    out=$(scripts/wine-env.sh "$bed" wine build/win64/bench/windows/tool_bench.exe "$1" "$(windows_path "${2:-$tree}")")
    echo "$out" >&2
    echo "$out" | grep '^RESULT'
}
field() { echo "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

hash=$(run_tool 3)
time=$(run_tool 4)
# Copies keep the tree for the cleaner. Wine's recycle bin scans its own folder for every
# file it takes, so its cost grows with its content: the reference (the same files sent
# one by one with no window, no log) starts from the same recycle bin as the cleaner.
cp -r "$tree" "$work/copy"
t0=$(now); find "$work/copy" -name '*.obj' -delete; t1=$(now)
linux_rm=$(ms_per "$t0" "$t1" "$deleted")
rm -rf "$work/copy"
cp -r "$tree" "$work/copy"
recycle=$(run_tool recycle "$work/copy")
rm -f "$trash"/files/${tag}_* "$trash"/info/${tag}_*
clean=$(run_tool 2)
left=$(find "$tree" -name '*.obj' | wc -l)

row() {  # name result per-count target linux-ms linux-name
    local ms per
    ms=$(field "$2" ms)
    per=$(awk -v m="$ms" -v n="$3" 'BEGIN { printf "%.3f", m / n }')
    printf '%-14s %8s %9s %8s %10s %8s  %s\n' "$1" "$3" "$per" "$4" "$5" \
        "$(awk -v a="$per" -v b="$5" 'BEGIN { printf "%.1f", a / b }')" "$6"
}
echo
printf '%-14s %8s %9s %8s %10s %8s  %s\n' tool count "ms/each" target "Linux ms" ratio "Linux reference"
row "hash MD5+SHA1" "$hash" "$files" 0.5 "$linux_hash" "md5sum then sha1sum"
row "time changer" "$time" "$files" 0.5 "$linux_time" "touch -d"
row "cleaner" "$clean" "$deleted" 2.0 "$linux_rm" "find -delete (no recycle bin)"
recycle_ms=$(field "$recycle" ms)
echo "cleaner against Wine's recycle bin alone (one SHFileOperation per file, no window): $(awk -v m="$recycle_ms" -v n="$deleted" 'BEGIN { printf "%.3f", m / n }') ms per file, ratio $(awk -v a="$(field "$clean" ms)" -v b="$recycle_ms" 'BEGIN { printf "%.2f", a / b }')"
echo "worst WM_NULL round trip during the hash run: $(field "$hash" worst_roundtrip_ms) ms (target 100)"
echo "cleaner: $left .obj files left (0 expected), $(find "$tree" -name '*.cpp' | wc -l) .cpp kept"

# One large file, read from the cache by every side.
big="$work/big.bin"
big_mib=${VEX_BENCH_BIG_MIB:-1024}
head -c "${big_mib}M" /dev/urandom >"$big"
cat "$big" >/dev/null
t0=$(now); md5sum "$big" >/dev/null; sha1sum "$big" >/dev/null; t1=$(now)
linux_both=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
t0=$(now); sha256sum "$big" >/dev/null; t1=$(now)
linux_sha256=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
t0=$(now); b3sum "$big" >/dev/null; t1=$(now)
linux_blake3=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
big_both=$(run_tool 3 "$big")
big_sha256=$(run_tool 3-sha256 "$big")
big_blake3=$(run_tool 3-blake3 "$big")
speedup() { awk -v ours="$(field "$1" ms)" -v theirs="$2" 'BEGIN { printf "%.2f", theirs / ours }'; }
echo
echo "${big_mib} MiB file, MD5 and SHA-1: ours $(field "$big_both" ms) ms, md5sum then sha1sum $linux_both ms: $(speedup "$big_both" "$linux_both")x their speed (target 1.5)"
echo "${big_mib} MiB file, SHA-256 alone: ours $(field "$big_sha256" ms) ms, sha256sum $linux_sha256 ms: $(speedup "$big_sha256" "$linux_sha256")x their speed (target 1.0)"
echo "${big_mib} MiB file, BLAKE3 alone, all threads: ours $(field "$big_blake3" ms) ms, b3sum $linux_blake3 ms: $(speedup "$big_blake3" "$linux_blake3")x its speed (target 0.90)"

# Four cached files of 256 MiB, MD5 and SHA-1: the job in-process with one file at a time
# and with one for each core (Wine cannot say whether its disk seeks, so the program reads
# one at a time there), against md5sum then sha1sum.
quarter=$((${VEX_BENCH_BIG_MIB:-1024} / 4))
four=()
for i in 1 2 3 4; do
    head -c "${quarter}M" /dev/urandom >"$work/four$i.bin"
    four+=("$(windows_path "$work/four$i.bin")")
done
cat "$work"/four*.bin >/dev/null
t0=$(now); md5sum "$work"/four*.bin >/dev/null; sha1sum "$work"/four*.bin >/dev/null; t1=$(now)
linux_four=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
cores=$(nproc)
for workers in 1 "$cores"; do
    four_result=$(scripts/wine-env.sh "$bed" wine build/win64/bench/windows/hash_bench.exe "$workers" "${four[@]}" | grep '^RESULT')
    echo "four ${quarter} MiB files, MD5 and SHA-1, $workers at once: ours $(field "$four_result" ms) ms, md5sum then sha1sum $linux_four ms: $(speedup "$four_result" "$linux_four")x their speed (target 3.2 on two idle cores)"
done

# The cost per file of a shorter run: 5,000 of the same files.
small="$work/small"
mkdir -p "$small"
# From a list, not a pipe: head leaving early would end find with SIGPIPE, and pipefail the
# whole script.
find "$tree" -type f >"$work/files.txt"
head -n $((files / 4)) "$work/files.txt" | xargs -d '\n' cp -t "$small"/
small_hash=$(run_tool 3 "$small")
echo "hash MD5+SHA1 per file: $(awk -v m="$(field "$hash" ms)" -v n="$files" 'BEGIN { printf "%.3f", m / n }') ms for $files files, $(awk -v m="$(field "$small_hash" ms)" -v n="$((files / 4))" 'BEGIN { printf "%.3f", m / n }') ms for $((files / 4))"

# What bounds the hash run, each part alone on the same files: Wine's own open, read and
# close of each file; the walk and the hashing without the window; the log window fed a
# line a file as the hash checker writes it (its path, then its MD5 and SHA-1).
wine_io=$(scripts/wine-env.sh "$bed" wine build/win64/bench/windows/hash_bench.exe read "$(windows_path "$tree")" | grep '^RESULT')
no_window=$(scripts/wine-env.sh "$bed" wine build/win64/bench/windows/hash_bench.exe 1 "$(windows_path "$tree")" | grep '^RESULT')
log_alone=$(scripts/wine-env.sh "$bed" wine build/win64/bench/windows/log_bench.exe "$files" hash | sed -n 's/.* lines in \([0-9.]*\) s.*/\1/p')
per_file() { awk -v m="$1" -v n="$files" 'BEGIN { printf "%.3f", m / n }'; }
echo "hash MD5+SHA1, its parts alone, ms per file: Wine's open+read+close $(per_file "$(field "$wine_io" ms)"), walk and hash without the window $(per_file "$(field "$no_window" ms)"), the log window fed their lines $(per_file "$(awk -v s="${log_alone:-0}" 'BEGIN { print s * 1000 }')") (target for the whole 0.20)"

echo
scripts/wine-env.sh "$bed" wine build/win64/bench/windows/log_bench.exe "$log_lines"
