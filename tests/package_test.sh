#!/usr/bin/env bash
# Packs the build into a Debian package (cpack, into a temporary folder) and
# checks it: named vorlane_VERSION_ARCH.deb, it holds exactly the files
# `cmake --install` puts under the prefix (so everything the install layout
# test expects), depends on the Qt, QScintilla and ISA-L packages, carries a
# changelog of its own version, and lintian finds no error in it.
set -u
build="$1"
cpack="$2"
skip=77
if ! command -v dpkg-deb >/dev/null; then
  echo "SKIP: dpkg-deb is missing (scripts/deps.sh installs it); the package is not checked"
  exit $skip
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # what condition...
  local what="$1"; shift
  if "$@"; then :; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
debs=("$work"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: one package expected, got: ${debs[*]}"
  exit 1
fi
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
check "package name (${deb##*/})" test "${deb##*/}" = "vorlane_${version}_${arch}.deb"
check "architecture is the machine's" test "$arch" = "$(dpkg --print-architecture)"
check "version is the program's" test "vorlane-cli $version" = "$("$build/src/vorlane-cli" --version)"
check "section" test "$(dpkg-deb -f "$deb" Section)" = utils
check "description has a summary and a long text" test "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 3

# The files: those of `cmake --install`, under /usr, no more and no fewer.
cmake --install "$build" --prefix "$work/inst" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
(cd "$work/inst" && find . ! -type d | sed 's|^\./|/usr/|' | LC_ALL=C sort) >"$work/installed"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./|/|' | LC_ALL=C sort >"$work/packed"
check "the package holds what cmake --install installs" diff -u "$work/installed" "$work/packed"
check "the package holds files" test -s "$work/packed"

# Depends comes from the libraries the programs link.
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6core6 libqt6gui6 libqt6widgets6 'libqscintilla2-qt6-[0-9]+' libisal2 qt6-qpa-plugins; do
  check "Depends names $p ($depends)" grep -qE "(^|, )$p( |,|$)" <<<"$depends"
done

dpkg-deb -x "$deb" "$work/root"
check "changelog names the package's version" \
  test "$(zcat "$work/root/usr/share/doc/vorlane/changelog.gz" | head -1 | cut -d' ' -f1-2)" = "vorlane ($version)"
check "programs are stripped" test -z "$(file "$work/root/usr/bin/"* | grep -v ', stripped')"
check "packed command line runs" "$work/root/usr/bin/vorlane-cli" --version

if command -v lintian >/dev/null; then
  lintian "$deb" >"$work/lintian.log" 2>&1
  status=$?
  cat "$work/lintian.log"
  # Warnings pass (the status stays 0); an error or a failed run does not.
  check "lintian finds no error (status $status)" test "$status" -eq 0 -a -z "$(grep '^E: ' "$work/lintian.log")"
else
  echo "SKIP: lintian is missing (scripts/deps.sh installs it); the package is not linted"
fi
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
