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

best_cp=999999; best_save=999999; rss=0
for run in 1 2 3; do
  rm -f "$work/copy.wad"
  start=$(date +%s.%N); cp "$wad" "$work/copy.wad"; sync "$work/copy.wad"; end=$(date +%s.%N)
  t=$(echo "$end - $start" | bc); best_cp=$(echo "if ($t < $best_cp) $t else $best_cp" | bc)
  start=$(date +%s.%N)
  /usr/bin/time -f "%M" -o "$work/rss" "$cli" save "$work/copy.wad"
  end=$(date +%s.%N)
  t=$(echo "$end - $start" | bc); best_save=$(echo "if ($t < $best_save) $t else $best_save" | bc)
  rss=$(cat "$work/rss")
  cmp -s "$wad" "$work/copy.wad" || { echo "save changed the file" >&2; exit 1; }
done
limit_kb=$(( size * 11 / 10 / 1024 + 50 * 1024 ))
printf 'file: %d pages, %.1f MB\n' "$pages" "$(echo "$size / 1048576" | bc -l)"
printf 'cp + sync:           %.3f s\n' "$best_cp"
printf 'pelmora-cli save:    %.3f s  (%.2f x cp)\n' "$best_save" "$(echo "$best_save / $best_cp" | bc -l)"
printf 'peak memory:         %.1f MB (limit 1.1 x file + 50 MB = %.1f MB)\n' \
  "$(echo "$rss / 1024" | bc -l)" "$(echo "$limit_kb / 1024" | bc -l)"
rm -f "$work/copy.wad" "$work/rss"
