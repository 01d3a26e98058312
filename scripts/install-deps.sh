#!/usr/bin/env bash
# Installs the Debian 12 packages a task needs, when any is missing:
#   scripts/install-deps.sh [--list] GROUP...
#     run       build and run the editor and pelmora-cli (./run)
#     test      run the tests, and make the README's screenshots (./test)
#     ci        the sanitizer and fuzzing builds (.ci/run)
#     package   make the Debian package (cpack -G DEB)
#     bench     the benchmarks (-DPELMORA_BUILD_BENCH=ON)
# Each group brings only its own packages: ./test asks for "run test", .ci/run for
# "run test ci". --list prints the packages instead of installing them.
set -euo pipefail

packages_of() {
  case $1 in
    # CMakeLists.txt: GraphicsMagick++, CLI11, libcurl, nlohmann-json, Qt 6; the animated strip is drawn from
    # the DejaVu font and the manual pages come from help2man at build time.
    run) echo cmake ninja-build g++ pkg-config qt6-base-dev libgraphicsmagick++1-dev \
      libcli11-dev libcurl4-openssl-dev nlohmann-json3-dev fonts-dejavu-core help2man ;;
    # tests/CMakeLists.txt: GoogleTest and zlib; the image tests compare with PIL; the
    # screenshots and clipboard tests run under Xvfb; the install test validates the
    # desktop entry and the software-centre file.
    test) echo libgtest-dev zlib1g-dev python3-pil xvfb xauth desktop-file-utils appstream ;;
    # .ci/run: libFuzzer and the sanitizer runtimes come with clang.
    ci) echo clang libclang-rt-14-dev ;;
    # CPack's DEB generator reads the binaries with file and dpkg-shlibdeps.
    package) echo dpkg-dev file ;;
    bench) echo libbenchmark-dev ;;
    *)
      echo "install-deps.sh: unknown group '$1' (run, test, ci, package, bench)" >&2
      exit 2
      ;;
  esac
}

list=false
if [ "${1:-}" = "--list" ]; then
  list=true
  shift
fi
[ $# -gt 0 ] || set -- run
packages=()
for group in "$@"; do
  packages_of "$group" >/dev/null  # an unknown group ends the script here
  read -r -a group_packages <<<"$(packages_of "$group")"
  packages+=("${group_packages[@]}")
done
if $list; then
  echo "${packages[*]}"
  exit 0
fi

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
