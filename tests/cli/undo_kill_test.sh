#!/usr/bin/env bash
# Taking renames back, killed at each rename and each cut of the log in turn
# (and once with a cut that fails as on a full disk), then run again: every
# file ends under its first name with its own bytes, none moved twice, and
# the log holds no entry of them.
set -uo pipefail
cli=$(realpath "$1")
command -v strace >/dev/null || { echo "strace is missing: scripts/deps.sh installs it"; exit 1; }

work=$(mktemp -d /tmp/vorlane-undo-kill-XXXXXX)
trap 'rm -rf "$work"' EXIT
export VORLANE_HOME="$work/home"
# The leak checker of a sanitizer build cannot run under strace.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A swap, a three-file cycle and a chain into a free name, renamed in one
# resolved run so the log holds temporary steps; plus an older plain rename.
setup() {
    rm -rf "$work/d" "$work/home"
    mkdir -p "$work/d" "$work/home"
    cd "$work/d" || exit 1
    for f in A B C D E F G old; do printf 'content of %s' "$f" >"$f.mp3"; done
    echo older.mp3 >names
    "$cli" rename --yes --names names -- old.mp3 >/dev/null || fail "setup rename"
    printf '%s\n' B.mp3 A.mp3 D.mp3 E.mp3 C.mp3 G.mp3 H.mp3 >names
    "$cli" rename --yes --resolve-chains --names names -- A.mp3 B.mp3 C.mp3 D.mp3 E.mp3 F.mp3 G.mp3 >/dev/null ||
        fail "setup resolved rename"
    rm names
}

check() {
    local what="$1"
    cd "$work/d" || exit 1
    local got
    got=$(for f in $(ls -A | sort); do printf '%s:%s ' "$f" "$(cat "$f")"; done)
    local want="A.mp3:content of A B.mp3:content of B C.mp3:content of C D.mp3:content of D E.mp3:content of E F.mp3:content of F G.mp3:content of G old.mp3:content of old "
    [ "$got" = "$want" ] || fail "$what: files are '$got'"
    [ -z "$(tr -d '\r\n' <"$work/home/vlnundo.txt")" ] || fail "$what: log still holds $(cat -A "$work/home/vlnundo.txt")"
}

runs=0
for call in renameat2 ftruncate; do
    n=1
    while :; do
        setup
        # Through a shell of its own, which reports the kill to /dev/null.
        bash -c 'strace -f -o /dev/null -e trace="$1" -e inject="$1:signal=KILL:when=$2" "$3" undo --last 100
                 exit $?' _ "$call" "$n" "$cli" >/dev/null 2>&1
        rc=$?
        runs=$((runs + 1))
        if [ "$rc" -ne 137 ]; then
            [ "$rc" -eq 0 ] || fail "$call #$n: an undo that was not killed ended with $rc"
            check "$call #$n, not killed"
            break
        fi
        "$cli" undo --last 100 >/dev/null 2>"$work/err" || fail "$call #$n: the second undo failed: $(cat "$work/err")"
        check "killed at $call #$n"
        # A third run has nothing left to do.
        "$cli" undo --last 100 >/dev/null 2>&1 || fail "$call #$n: the third undo failed"
        check "killed at $call #$n, run a third time"
        n=$((n + 1))
        [ "$n" -le 40 ] || { fail "$call: never ran to its end"; break; }
    done
done

# The log cannot be cut (as when a disk fails): the run stops and says so,
# the file already back stays back, and a retry finishes the work.
for n in 1 3; do
    setup
    strace -f -o /dev/null -e trace=ftruncate -e inject="ftruncate:error=EIO:when=$n" \
        "$cli" undo --last 100 >/dev/null 2>"$work/err"
    rc=$?
    [ "$rc" -eq 1 ] || fail "failed cut #$n: exit $rc"
    grep -q "can't shorten the undo log" "$work/err" || fail "failed cut #$n: no message: $(cat "$work/err")"
    "$cli" undo --last 100 >/dev/null 2>"$work/err" || fail "after failed cut #$n: $(cat "$work/err")"
    check "after a failed cut #$n"
done

echo "$((runs + 2 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
