#!/usr/bin/env bash
# pelmora's own options work in a terminal without a display, and a mistyped option is a
# usage error rather than a file to open.
#   app_command_line_test.sh PELMORA VERSION
set -uo pipefail
pelmora=$1
version=$2
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb  # would fail at once if a window were attempted
status=0
expect() {  # expect EXIT STDOUT-PATTERN STDERR-PATTERN ARGS...
  local want=$1 out_pattern=$2 err_pattern=$3
  shift 3
  local out err code
  out=$(timeout 20 "$pelmora" "$@" 2>/tmp/pelmora-app-test.$$)
  code=$?
  err=$(cat /tmp/pelmora-app-test.$$)
  rm -f /tmp/pelmora-app-test.$$
  if [ "$code" != "$want" ] || ! grep -qE "$out_pattern" <<<"$out" ||
    ! grep -qE "$err_pattern" <<<"$err"; then
    echo "pelmora $*: exit $code (want $want)" >&2
    echo "  stdout: $out" >&2
    echo "  stderr: $err" >&2
    status=1
  fi
}
expect 0 "^pelmora ${version//./\\.}\$" '^$' --version
expect 0 '^Usage: pelmora \[options\] \[FILE\]' '^$' --help
expect 2 '^$' "^pelmora: Unknown option 'no-such-option'\." --no-such-option level.wad
expect 2 '^$' '^pelmora: Give at most one FILE\.' one.wad two.wad
exit $status
