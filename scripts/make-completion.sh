#!/usr/bin/env bash
# Writes the bash completion of pelmora-cli from the program's own help, so that a new
# command or option is completed without anyone remembering this file. Run by the build.
#   scripts/make-completion.sh PELMORA_CLI OUT
set -euo pipefail
cli=$1
out=$2

# The names in the "Subcommands:" section of the top-level help.
commands=$("$cli" --help | awk '/^Subcommands:/ { on = 1; next } on && /^$/ { exit }
  on && /^  [a-z]/ { print $1 }')
[ -n "$commands" ] || { echo "make-completion: no commands in '$cli --help'" >&2; exit 1; }

# Every -x and --long name in an "Options:" section, one line.
options_of() {
  awk '/^Options:/ { on = 1; next } /^[A-Z][a-z]*:/ { on = 0 }
    on && /^  -/ { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }' |
    sed 's/:.*//' | tr '\n' ' ' | sed 's/ $//'
}
# "OPTION:word word" for each option whose values are a fixed set ("--sort TEXT:{a,b}").
choices_of() {
  awk '/^  -.*:\{/ { n = split($1, names, ","); name = names[n];
    sub(/.*:\{/, "", $0); sub(/\}.*/, "", $0); gsub(/,/, " ", $0); print name ":" $0 }'
}

tmp=$(mktemp "$out.XXXXXX")
trap 'rm -f "$tmp"' EXIT
{
  echo "# bash completion for pelmora-cli, made from its --help by scripts/make-completion.sh."
  echo "_pelmora_cli() {"
  echo "    local cur prev words cword"
  echo "    _init_completion || return"
  echo "    local command='' i"
  echo "    for ((i = 1; i < cword; i++)); do"
  echo "        [[ \${words[i]} == -* ]] || { command=\${words[i]}; break; }"
  echo "    done"
  echo "    local options choices=''"
  echo "    case \$command in"
  echo "        '') options='$("$cli" --help | options_of)'"
  echo "            [[ \$cur == -* ]] || options='$(echo $commands)' ;;"
  for command in $commands; do
    help=$("$cli" "$command" --help)
    echo "        $command) options='$(options_of <<<"$help")'"
    while IFS=: read -r option values; do
      [ -n "$option" ] && echo "            [[ \$prev == $option ]] && choices='$values'"
    done < <(choices_of <<<"$help")
    echo "            ;;"
  done
  echo "        *) options='' ;;"
  echo "    esac"
  echo "    if [[ -n \$choices ]]; then"
  echo "        mapfile -t COMPREPLY < <(compgen -W \"\$choices\" -- \"\$cur\")"
  echo "    elif [[ -z \$command || \$cur == -* ]]; then"
  echo "        mapfile -t COMPREPLY < <(compgen -W \"\$options\" -- \"\$cur\")"
  echo "    else"
  echo "        _filedir"
  echo "    fi"
  echo "}"
  echo "complete -F _pelmora_cli pelmora-cli"
} >"$tmp"
bash -n "$tmp"
chmod 644 "$tmp"
mv "$tmp" "$out"
trap - EXIT
