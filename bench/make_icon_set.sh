#!/usr/bin/env bash
# Makes the image set the add-pieces benchmarks use: COUNT PNG icons of mixed sizes (8 to
# 256 pixels) from Debian's oxygen-icon-theme, copied flat into DEST as
# NAME_CATEGORY_WxH.png, so that the sizes of one icon sit next to each other in name
# order, as in a real icon folder.
# The choice is a fixed pseudo-random one, so every run makes the same set. Links are left
# out: they repeat icons that are there anyway.
#
#   bench/make_icon_set.sh [DEST] [COUNT]      (defaults: /tmp/pelmora-icons 5000)
#
# The package is installed when missing (as root), and is not needed by anything else.
set -euo pipefail
dest=${1:-/tmp/pelmora-icons}
count=${2:-5000}
theme=/usr/share/icons/oxygen/base

if [ ! -d "$theme" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "oxygen-icon-theme is missing: sudo apt-get install -y oxygen-icon-theme" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq oxygen-icon-theme >/dev/null
fi

rm -rf "$dest"
mkdir -p "$dest"
# Same seed, same set; LC_ALL=C keeps the sort independent of the locale. One tar pipe
# renames SIZE/CATEGORY/NAME.png to NAME_CATEGORY_SIZE.png without a process per file.
find "$theme" -name '*.png' -type f -size +0 -printf '%P\n' | LC_ALL=C sort |
  shuf -n "$count" --random-source=<(yes pelmora) |
  tar -C "$theme" -cf - --no-recursion -T - |
  tar -C "$dest" -xf - \
    --transform='s|^\([0-9]*x[0-9]*\)/\([^/]*\)/\([^/]*\)\.png$|\3_\2_\1.png|'
echo "$(find "$dest" -name '*.png' | wc -l) icons in $dest" >&2
