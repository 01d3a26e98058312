#!/usr/bin/env bash
# Installs the Debian packages Pelmora needs to build, test and run, when any is missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-image-formats-plugins
  libgraphicsmagick++1-dev libcli11-dev libcurl4-openssl-dev nlohmann-json3-dev libgtest-dev libbenchmark-dev
  fonts-dejavu-core xvfb xauth clang libclang-rt-14-dev zlib1g-dev python3-pil)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}" >&2
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
