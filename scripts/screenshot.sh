#!/usr/bin/env bash
# Makes the README's pictures from the real editor under Xvfb, with a generated sample WAD
# open: docs/screenshot.png (the window), docs/guide-record.png (editing a record),
# docs/guide-export.png (exporting a gallery) and docs/about.png (the about box).
#   scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target pelmora_screenshot
tool="$build/tools/screenshot/pelmora_screenshot"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$tool" --sample "$work/sample.wad"
mkdir -p docs
for shot in window:screenshot record:guide-record export:guide-export; do
  xvfb-run -a -s "-screen 0 1024x768x24" "$tool" "docs/${shot#*:}.png" "$work/sample.wad" "${shot%%:*}"
  echo "wrote docs/${shot#*:}.png"
done
xvfb-run -a -s "-screen 0 1024x768x24" "$tool" --about docs/about.png
echo "wrote docs/about.png"
