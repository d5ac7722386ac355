#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands where:
# both programs, the help file where the program looks for it, the desktop
# entry (passing files and folders, opening project files), the icon, the
# AppStream metadata, the project file type, the bash completion and the
# package's copyright and changelog; and that the files these and the README
# name are tracked by git.
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
check "desktop entry opens project files" grep -qE '^MimeType=(.*;)?application/x-vorlane-project;' "$desktop"
mime="$prefix/share/mime/packages/org.vorlane.Vorlane.mime.xml"
check "project file type" test -f "$mime"
completion="$prefix/share/bash-completion/completions/vorlane-cli"
check "bash completion" test -f "$completion"
check "bash completion loads" bash -c 'source "$1" && complete -p vorlane-cli >/dev/null' _ "$completion"
check "copyright" test -f "$prefix/share/doc/vorlane/copyright"
check "changelog" gzip -t "$prefix/share/doc/vorlane/changelog.gz"
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry is valid" desktop-file-validate "$desktop"
fi
if command -v appstreamcli >/dev/null; then
  check "metadata is valid" appstreamcli validate --no-net "$metainfo"
fi
check "installed command line runs" "$prefix/bin/vorlane-cli" --version

# The type file: well-formed XML, and the MIME database built from it alone
# maps *.vln to the type, named "Vorlane project", shown with the installed icon.
if command -v xmllint >/dev/null; then
  check "project file type is well-formed XML" xmllint --noout "$mime"
fi
if command -v update-mime-database >/dev/null; then
  db="$prefix/mimedb/share/mime"
  mkdir -p "$db/packages" && cp "$mime" "$db/packages/"
  XDG_DATA_DIRS="$prefix/mimedb/share" update-mime-database "$db" >"$prefix/mimedb.out" 2>&1
  check "MIME database builds without a word" test ! -s "$prefix/mimedb.out"
  [ -s "$prefix/mimedb.out" ] && cat "$prefix/mimedb.out"
  check "*.vln is a Vorlane project" grep -qx '[0-9]*:application/x-vorlane-project:\*\.vln' "$db/globs2"
  check "the type's name" grep -q '<comment>Vorlane project</comment>' "$db/application/x-vorlane-project.xml"
  icon=$(sed -n 's|^application/x-vorlane-project:||p' "$db/icons")
  check "the type's icon is installed (\"$icon\")" test -n "$icon" -a -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg"
else
  echo "SKIP: update-mime-database is missing; the project file type is not checked"
fi

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
  # Each installed file comes from data/ or a folder of it under its own name;
  # a compressed one (the changelog) from the file before compression.
  fromdata() { tracked "data/$1" || tracked "data/*/$1"; }
  while IFS= read -r f; do
    base=${f##*/}
    base=${base%.gz}
    check "$base in data/ (installed as ${f#"$prefix"/}) is tracked by git" fromdata "$base"
  done < <(find "$prefix/share" -type f)
else
  echo "SKIP: $src is not a git checkout; not checked that the files README.md and the metadata name are tracked"
fi
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
