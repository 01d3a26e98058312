#!/usr/bin/env bash
# Writes a help2man include file with a COMMANDS section that holds each pelmora-cli
# command's own --help, so that the manual page shows every option. Run by the build.
#   scripts/make-man-commands.sh PELMORA_CLI OUT
set -euo pipefail
cli=$1
out=$2
commands=$("$cli" --help | awk '/^Subcommands:/ { on = 1; next } on && /^$/ { exit }
  on && /^  [a-z]/ { print $1 }')
{
  echo "[COMMANDS]"
  for command in $commands; do
    echo ".SS $command"
    echo ".nf"
    # Backslashes and lines starting with a dot or quote would be read as roff requests.
    "$cli" "$command" --help | grep -v "^A FILE whose name starts with" |
      sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"
    echo ".fi"
  done
} >"$out"
