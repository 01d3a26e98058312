#!/usr/bin/env bash
# Makes docs/screenshot.png (the editor with a generated sample WAD open) and docs/about.png
# (the about box) under Xvfb.
#   scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target pelmora_screenshot
tool="$build/tests/ui/pelmora_screenshot"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$tool" --sample "$work/sample.wad"
mkdir -p docs
xvfb-run -a -s "-screen 0 1024x768x24" "$tool" docs/screenshot.png "$work/sample.wad"
xvfb-run -a -s "-screen 0 1024x768x24" "$tool" --about docs/about.png
echo "wrote docs/screenshot.png and docs/about.png"
