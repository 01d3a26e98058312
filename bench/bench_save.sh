#!/usr/bin/env bash
# Times `pelmora-cli save` of a 2,000-page WAD against `cp` of the same file on the same disk
# (page cache warm) and reports pelmora-cli's peak memory.
# Usage: bench/bench_save.sh [PAGES] (run from the repository, after ./test or a build)
set -euo pipefail
cd "$(dirname "$0")/.."
pages=${1:-2000}
cli=${PELMORA_CLI:-build/pelmora-cli}
[ -x "$cli" ] || cmake --build build --target pelmora-cli
command -v /usr/bin/time >/dev/null || { apt-get install -y -qq time >/dev/null; }
work=bench/data
mkdir -p "$work"
wad="$work/large.wad"
[ -f "$wad" ] && [ "$(stat -c %s "$wad")" -gt $((pages * 196608)) ] || python3 bench/make_large_wad.py "$wad" "$pages"
size=$(stat -c %s "$wad")
cat "$wad" >/dev/null  # warm the page cache

# Taken in turns, five rounds: the speed of a shared machine drifts, so both see the same
# moments. Reported: the median of each (and the best). Both replace an existing copy of the
# file, as a save does: removing the old 376 MB from the disk and the file cache is part of
# either's time (about a third of cp's).
rounds=${ROUNDS:-5}
cp_times=(); save_times=(); rss=0
cp "$wad" "$work/copy.wad"
for run in $(seq "$rounds"); do
  start=$(date +%s.%N); cp "$wad" "$work/copy.wad"; sync "$work/copy.wad"; end=$(date +%s.%N)
  cp_times+=("$(echo "$end - $start" | bc)")
  start=$(date +%s.%N)
  /usr/bin/time -f "%M" -o "$work/rss" "$cli" save "$work/copy.wad"
  end=$(date +%s.%N)
  save_times+=("$(echo "$end - $start" | bc)")
  rss=$(cat "$work/rss")
  cmp -s "$wad" "$work/copy.wad" || { echo "save changed the file" >&2; exit 1; }
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
best() { printf '%s\n' "$@" | sort -g | head -1; }
cp_med=$(median "${cp_times[@]}"); save_med=$(median "${save_times[@]}")
limit_kb=$(( size * 11 / 10 / 1024 + 50 * 1024 ))
printf 'file: %d pages, %.1f MB, %d rounds\n' "$pages" "$(echo "$size / 1048576" | bc -l)" "$rounds"
printf 'cp + sync:           median %.3f s, best %.3f s\n' "$cp_med" "$(best "${cp_times[@]}")"
printf 'pelmora-cli save:    median %.3f s, best %.3f s\n' "$save_med" "$(best "${save_times[@]}")"
printf 'ratio of medians:    %.2f x cp\n' "$(echo "$save_med / $cp_med" | bc -l)"
printf 'peak memory:         %.1f MB (limit 1.1 x file + 50 MB = %.1f MB)\n' \
  "$(echo "$rss / 1024" | bc -l)" "$(echo "$limit_kb / 1024" | bc -l)"
rm -f "$work/copy.wad" "$work/rss"
