#!/usr/bin/env bash
# The bash completion of vorlane-cli: it loads, offers the commands, each
# command's options as that command's --help names them (so an option added
# to the program and not to the completion shows here), option values, and
# file names after "--".
set -u
cli=$(realpath "$1")
completion=$(realpath "$2")
# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

check "completion loads" "complete -F _vorlane_cli vorlane-cli" \
  "$(bash -c 'source "$1" && complete -p vorlane-cli' _ "$completion" 2>&1)"

# Completes the words given, the last one being completed; prints the
# offers sorted, one a line.
offers() {
  bash -c 'source "$1"; shift; COMP_WORDS=(vorlane-cli "$@"); COMP_CWORD=$#; _vorlane_cli
           printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort' _ "$completion" "$@"
}
words() { tr ' ' '\n' | grep -v '^$' | LC_ALL=C sort -u; }

commands=$("$cli" --help | sed -n '/^Commands:/,/^Options:/p' | grep -oE '^  [a-z]+' | words)
check "commands as --help lists them" "$commands" "$(offers '')"
check "global options" "$(printf -- '--help\n--version')" "$(offers --)"
for c in $commands; do
  expected=$( (echo -- --help; "$cli" "$c" --help | grep -oE -- '--[a-z][a-z-]*') | words)
  check "$c options as its --help names them" "$expected" "$(offers "$c" --)"
done
check "rename --dry-run" "--dry-run" "$(offers rename --dr)"
check "--on-error values" "$(printf 'abort\nignore')" "$(offers rename --on-error '')"
check "--case values" "first" "$(offers names --mask x --case f)"
touch -- --file1 plain.txt 'two words.mp3' && mkdir sub
check "file names after --" "--file1" "$(offers rename --names n.txt -- --)"
check "file names after options" "plain.txt" "$(offers rename --yes pl)"
check "folders for --to" "sub" "$(offers copy --to '')"
check "a file name with a blank is one offer" "two words.mp3" "$(offers rename --yes tw)"
finish
