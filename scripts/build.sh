#!/usr/bin/env bash
# Configures and builds one preset (default: debug), all of it or the targets named after it.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-debug}"
shift || true
[ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build --preset "$preset" -j2 --target "$@"
else
  cmake --build --preset "$preset" -j2
fi
