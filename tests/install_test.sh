#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands where:
# both programs, the help file where the program looks for it, the desktop
# entry (passing files and folders), the icon and the AppStream metadata;
# and that the files these and the README name are tracked by git.
set -u
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
check() { # what condition...
  local what="$1"; shift
  if "$@"; then :; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
check "program" test -x "$prefix/bin/vorlane"
check "command line" test -x "$prefix/bin/vorlane-cli"
check "help file" test -f "$prefix/share/vorlane/vln.html"
desktop="$prefix/share/applications/org.vorlane.Vorlane.desktop"
check "desktop entry" test -f "$desktop"
check "desktop entry passes files and folders" grep -qx 'Exec=vorlane %F' "$desktop"
check "icon" test -f "$prefix/share/icons/hicolor/scalable/apps/org.vorlane.Vorlane.svg"
metainfo="$prefix/share/metainfo/org.vorlane.Vorlane.metainfo.xml"
check "metadata" test -f "$metainfo"
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry is valid" desktop-file-validate "$desktop"
fi
if command -v appstreamcli >/dev/null; then
  check "metadata is valid" appstreamcli validate --no-net "$metainfo"
fi
check "installed command line runs" "$prefix/bin/vorlane-cli" --version

# What the README shows and what the installed metadata, desktop entry, icon
# and help file come from must be in the repository, not only on this disk:
# an ignored file builds and installs here and is missing from every clone.
src=$(cd "$(dirname "$0")/.." && pwd)
if git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  tracked() { [ -n "$(git -C "$src" ls-files -- "$1")" ]; }
  # Markdown links and images with a local target: ](path)
  while IFS= read -r f; do
    check "$f (named by README.md) is tracked by git" tracked "$f"
  done < <(grep -oE '\]\([^):#]+\)' "$src/README.md" | sed -E 's/^\]\(//; s/\)$//')
  while IFS= read -r f; do
    check "data/${f##*/} (installed as ${f#"$prefix"/}) is tracked by git" tracked "data/${f##*/}"
  done < <(find "$prefix/share" -type f)
else
  echo "SKIP: $src is not a git checkout; not checked that the files README.md and the metadata name are tracked"
fi
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
