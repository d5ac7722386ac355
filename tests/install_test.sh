#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands where:
# both programs, the help file where the program looks for it, the desktop
# entry (passing files and folders), the icon and the AppStream metadata.
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
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
