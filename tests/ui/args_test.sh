#!/usr/bin/env bash
# The desktop program's own options: --help and --version print and exit
# without a window or a display; an unknown option is refused, not opened.
set -u
vorlane=$(realpath "$1")
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$vorlane" "$@"; }

out=$(nodisplay --help 2>&1); check "--help status" 0 $?
check "--help usage" "Usage: vorlane [OPTIONS] [--] [FILE|FOLDER]..." "$(printf '%s\n' "$out" | head -1)"
out=$(nodisplay --version 2>&1); check "--version status" 0 $?
check "--version" "vorlane" "${out%% *}"
case "$out" in vorlane\ [0-9]*) ok=0 ;; *) ok=1 ;; esac; check "--version number" 0 $ok
out=$(QT_QPA_PLATFORM=offscreen timeout 10 "$vorlane" --bogus 2>&1); check "unknown option status" 2 $?
check "unknown option message" "vorlane: unknown option '--bogus'
Try 'vorlane --help'." "$out"

finish
