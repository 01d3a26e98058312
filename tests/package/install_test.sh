#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks that everything the desktop and the
# shell need is where they look for it, and that the files pass their validators.
#   install_test.sh BUILD_DIR PELMORA_CLI WITH_UI
set -euo pipefail
build=$1
cli=$2
with_ui=$3
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
share="$dest/usr/share"

expected=(usr/bin/pelmora-cli usr/share/bash-completion/completions/pelmora-cli)
command -v help2man >/dev/null && expected+=(usr/share/man/man1/pelmora-cli.1.gz)
if [ "$with_ui" = ON ]; then
  expected+=(usr/bin/pelmora usr/share/applications/org.pelmora.Pelmora.desktop
    usr/share/metainfo/org.pelmora.Pelmora.metainfo.xml usr/share/mime/packages/pelmora.xml)
  command -v help2man >/dev/null && expected+=(usr/share/man/man1/pelmora.1.gz)
  for size in 16 22 24 32 48 64 128 256; do
    expected+=(usr/share/icons/hicolor/${size}x${size}/apps/pelmora.png)
  done
fi
status=0
for file in "${expected[@]}"; do
  [ -s "$dest/$file" ] || { echo "missing after install: /$file" >&2; status=1; }
done
[ -x "$dest/usr/bin/pelmora-cli" ] || { echo "pelmora-cli is not executable" >&2; status=1; }

if [ "$with_ui" = ON ]; then
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$share/applications/org.pelmora.Pelmora.desktop" || status=1
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$share/metainfo/org.pelmora.Pelmora.metainfo.xml" >/dev/null ||
      { echo "appstreamcli refuses the metainfo file" >&2; status=1; }
  fi
  if command -v update-mime-database >/dev/null; then
    update-mime-database "$share/mime" || status=1
    for type in x-pelmora-wad x-pelmora-plm; do
      [ -s "$share/mime/application/$type.xml" ] || { echo "no MIME type $type" >&2; status=1; }
    done
  fi
fi

# The completion offers exactly the commands that pelmora-cli --help lists.
commands=$("$cli" --help | awk '/^Subcommands:/ { on = 1; next } on && /^$/ { exit }
  on && /^  [a-z]/ { print $1 }' | sort)
completion="$share/bash-completion/completions/pelmora-cli"
offered=$(sed -n "s/.*\[\[ \$cur == -\* \]\] || options='\(.*\)'.*/\1/p" "$completion" | tr ' ' '\n' | sort)
if [ -z "$commands" ] || [ "$commands" != "$offered" ]; then
  echo "the completion's commands differ from pelmora-cli --help:" >&2
  diff <(echo "$commands") <(echo "$offered") >&2 || true
  status=1
fi
for command in $commands; do
  grep -q "^        $command) options=" "$completion" ||
    { echo "no options completed for $command" >&2; status=1; }
done
bash -n "$completion" || status=1
exit $status
