#!/usr/bin/env bash
# Command-line front end against real folders: scan output, rename, undo log.
set -u
cli=$(realpath "$1")
# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VORLANE_HOME="$work/home"
cd "$work"

mkdir -p F/A F/B
touch F/f1.mp3 F/f2.txt F/A/a1.MP3 F/A/noext
check "scan recursive with mask" "#$work/F
$work/F/f1.mp3
#$work/F/A
$work/F/A/a1.MP3" "$("$cli" scan --recursive --file-mask '*.mp3' F)"
check "scan without subfolders" "#$work/F/A
$work/F/A/noext" "$("$cli" scan --file-mask='*.wav;*' F/A)"
"$cli" scan missing >/dev/null 2>err.txt; check "missing folder status" 1 $?
check "missing folder message" "vorlane-cli: Can't open directory $work/missing" "$(cat err.txt)"
"$cli" scan --bogus F >/dev/null 2>&1; check "unknown option" 2 $?

# A name that is not UTF-8 is listed and renamed by its bytes.
mkdir raw && touch "raw/$(printf 'caf\xe9')"
check "scan raw bytes" "$(printf '#%s/raw\n%s/raw/caf\xe9' "$work" "$work")" "$("$cli" scan raw)"
printf 'new\xff.txt\n' > rawnames.txt
"$cli" rename --yes --names rawnames.txt "raw/$(printf 'caf\xe9')" >/dev/null 2>&1; check "rename raw status" 0 $?
[ -e "raw/$(printf 'new\xff.txt')" ]; check "renamed raw file exists" 0 $?

printf 'one.mp3  \nnoext\n' > names.txt
"$cli" rename --names names.txt F/f1.mp3 </dev/null >/dev/null 2>&1; check "unconfirmed rename status" 1 $?
[ -e F/f1.mp3 ]; check "unconfirmed rename keeps file" 0 $?
"$cli" rename --yes --on-error ignore --names names.txt F/f1.mp3 F/A/a1.MP3 2>err.txt
check "failed rename status" 1 $?
check "failure line" "vorlane-cli: Can't rename file $work/F/A/a1.MP3 to noext: File exists" "$(cat err.txt)"
[ -e F/one.mp3 ] && [ -e F/A/a1.MP3 ]; check "disk after rename" 0 $?
check "undo log" "$(printf '%s\r\n%s\r\n%s\r\n%s\r\n' "$work/raw/$(printf 'caf\xe9')" "$(printf 'new\xff.txt')" "$work/F/f1.mp3" one.mp3; printf x)" "$(cat "$VORLANE_HOME/vlnundo.txt"; printf x)"

# A line break or a NUL in a path or a name is refused and never logged.
touch "$(printf 'l\nf')" n1
printf 'ab\0cd\nok\n' > nulnames.txt
logBefore=$(cat "$VORLANE_HOME/vlnundo.txt"; printf x)
"$cli" rename --yes --on-error ignore --names nulnames.txt n1 "$(printf 'l\nf')" 2>err.txt; check "refused names status" 1 $?
check "refused names lines" "vorlane-cli: Can't rename file $work/n1 to ab␀cd: The name holds a line break or a NUL character
vorlane-cli: Can't rename file $work/l␊f to ok: The path holds a line break or a NUL character" "$(cat err.txt)"
[ -e n1 ] && [ ! -e ab ] && [ ! -e ok ]; check "refused names keep files" 0 $?
check "refused names not logged" "$logBefore" "$(cat "$VORLANE_HOME/vlnundo.txt"; printf x)"

# Counters per folder: each run of paths in one folder counts on its own; without the flag, straight through.
mkdir -p al1 al2; touch al1/x al1/y al2/z
check "counter per folder" "1-2 x
2-2 y
1-1 z" "$("$cli" names --mask "[c1,'1']-[cc1] [n]" --counter-per-folder al1/x al1/y al2/z)"
check "counter straight through" "1-3 x
2-3 y
3-3 z" "$("$cli" names --mask "[c1,'1']-[cc1] [n]" al1/x al1/y al2/z)"

# Options end at "--"; names file: byte-order mark, standard input, a leading "#", line count; folders refused.
check "help after --" "--help" "$("$cli" names --mask '[n]' -- --help)"
touch b1 s1 c1 c2 h1
printf '\xef\xbb\xbfb2\n' > bom.txt
"$cli" rename --yes --names bom.txt b1 2>/dev/null; [ -e b2 ] && [ ! -e b1 ]; check "byte-order mark dropped" 0 $?
touch r1 r2
printf 'r1new\r\nr2new' > crlf.txt
"$cli" rename --yes --names crlf.txt r1 r2 2>err.txt; [ -e r1new ] && [ -e r2new ] && [ ! -s err.txt ]
check "names file with CR LF and no final line break" 0 $?
printf 'piped.txt\n' | "$cli" rename --yes --names - s1 2>/dev/null; [ -e piped.txt ]; check "names from stdin" 0 $?
printf '#h2\n' > hash.txt
"$cli" rename --yes --names hash.txt h1 2>/dev/null; [ -e '#h2' ] && [ ! -e h1 ]; check "rename takes a leading # as part of the name" 0 $?
printf 'c1b\n' > one.txt
"$cli" rename --yes --names one.txt c1 c2 2>&1 >/dev/null | head -1 >err.txt
check "fewer names warning" "vorlane-cli: warning: one.txt holds 1 name(s) for 2 path(s)" "$(cat err.txt)"
printf 'x\ny\n' > two.txt
"$cli" rename --yes --names two.txt c1b 2>err.txt; check "more names status" 0 $?
check "more names warning" "vorlane-cli: warning: two.txt holds 2 name(s) for 1 path(s)" "$(cat err.txt)"
"$cli" rename --yes --names one.txt F/B 2>err.txt; check "folder refused status" 2 $?
check "folder refused message" "vorlane-cli: F/B: is a folder; rename takes files only" "$(cat err.txt)"
[ -d F/B ]; check "folder kept" 0 $?
"$cli" rename --yes --names missing.txt x 2>err.txt; check "missing names file status" 2 $?
check "missing names file message" "vorlane-cli: can't read missing.txt: No such file or directory" "$(cat err.txt)"

# A names file is given on purpose: a pipe from process substitution or a FIFO
# is read as a stream, like standard input.
touch p1 p2
timeout 10 "$cli" rename --yes --names <(printf 'p1new\n') p1 2>err.txt; check "names from a pipe status" 0 $?
check "names from a pipe messages" "" "$(cat err.txt)"
[ -e p1new ] && [ ! -e p1 ]; check "names from a pipe renamed" 0 $?
mkfifo fifo && { printf 'p2new\n' > fifo & }
timeout 10 "$cli" rename --yes --names fifo p2 2>err.txt; check "names from a FIFO status" 0 $?
wait
[ -e p2new ] && [ ! -e p2 ]; check "names from a FIFO renamed" 0 $?
# FIFOs in place of the program's own files are refused at once instead of waiting for a writer.
mkfifo fifo.mp3 && mkdir fifohome && mkfifo fifohome/vlnundo.txt
VORLANE_HOME="$work/fifohome" timeout 10 "$cli" rename --yes --names one.txt y 2>err.txt; check "FIFO undo log status" 1 $?
check "FIFO undo log message" "vorlane-cli: can't create the undo log $work/fifohome/vlnundo.txt: not a regular file" "$(cat err.txt)"
timeout 10 "$cli" tags fifo.mp3 2>err.txt; check "FIFO tags status" 1 $?
check "FIFO tags message" "vorlane-cli: can't open $work/fifo.mp3: not a regular file" "$(cat err.txt)"

# Two files whose names differ only in letter case are two files.
mkdir cs && touch cs/a.mp3 cs/A.mp3
check "scan keeps names that differ in case" "#$work/cs
$work/cs/A.mp3
$work/cs/a.mp3" "$("$cli" scan cs | LC_ALL=C sort)"

# Renames that would fail, checked first; then a swap resolved through a temporary name.
mkdir chk && printf 'a' > chk/a && printf 'b' > chk/b
printf 'b\na\n' > swap.txt
out=$("$cli" rename --check --names swap.txt chk/a chk/b); status=$?
check "check lists the swap" "$work/chk/a	b	A file with the new name exists
$work/chk/b	a	A file with the new name exists" "$out"
check "check status" 1 $status
check "check renames nothing" "ab" "$(cat chk/a chk/b)"
"$cli" rename --check --resolve-chains --names swap.txt chk/a chk/b; check "resolved swap has no conflict" 0 $?
"$cli" rename --yes --resolve-chains --names swap.txt chk/a chk/b; check "resolved swap status" 0 $?
check "resolved swap" "ba" "$(cat chk/a chk/b)"
printf '.\n..\n' > dots.txt
out=$("$cli" rename --check --names dots.txt chk/a chk/b); status=$?
check "check lists . and .." "$work/chk/a	.	A file with the new name exists
$work/chk/b	..	A file with the new name exists" "$out"
check "check status for . and .." 1 $status

# A dry run prints the renames the run would make, full paths, in its order
# (a swap through a temporary name), renames and logs nothing; a rename that
# would fail is reported as the run reports it and makes the status 1.
mkdir dry && printf 'a' > dry/a && printf 'b' > dry/b && touch dry/c
logBefore=$(cat "$VORLANE_HOME/vlnundo.txt"; printf x)
printf 'a1\nb1\n' > dry1.txt
out=$("$cli" rename --dry-run --names dry1.txt dry/a dry/b 2>err.txt); status=$?
check "dry run" "$work/dry/a	$work/dry/a1
$work/dry/b	$work/dry/b1" "$out"
check "dry run status" 0 $status
check "dry run messages" "" "$(cat err.txt)"
out=$("$cli" rename --dry-run --resolve-chains --names swap.txt dry/a dry/b 2>err.txt); status=$?
check "dry run of a swap status" 0 $status
tmp=$(printf '%s\n' "$out" | head -1 | cut -f2)
case "$tmp" in "$work"/dry/.vorlane-*.tmp) tmpok=yes ;; *) tmpok="$tmp" ;; esac
check "dry run of a swap: first step to a temporary name" yes "$tmpok"
check "dry run of a swap" "$work/dry/a	$tmp
$work/dry/b	$work/dry/a
$tmp	$work/dry/b" "$out"
printf 'x\nc\nz\n' > dry3.txt
out=$("$cli" rename --dry-run --on-error ignore --names dry3.txt dry/a dry/gone dry/b 2>err.txt); status=$?
check "failing dry run status" 1 $status
check "failing dry run steps" "$work/dry/a	$work/dry/x
$work/dry/b	$work/dry/z" "$out"
check "failing dry run messages" "vorlane-cli: Can't rename file $work/dry/gone to c: No such file or directory" "$(cat err.txt)"
printf 'c\nz\n' > dryc.txt
"$cli" rename --dry-run --names dryc.txt dry/b dry/a >out.txt 2>err.txt; check "dry run onto a file status" 1 $?
check "dry run stops where the run would" "" "$(cat out.txt)"
check "dry run onto a file message" "vorlane-cli: Can't rename file $work/dry/b to c: File exists" "$(cat err.txt)"
# Names the system refuses: the dry run says what the real run then says.
printf 'nosuch/x\n%s\nb\n' "$(printf 'n%.0s' $(seq 256))" > drybad.txt
"$cli" rename --dry-run --on-error ignore --names drybad.txt dry/a dry/b dry/c >out.txt 2>dryerr.txt
check "refused names dry run status" 1 $?
check "refused names dry run steps" "" "$(cat out.txt)"
check "refused names dry run messages" "vorlane-cli: Can't rename file $work/dry/a to nosuch/x: No such file or directory
vorlane-cli: Can't rename file $work/dry/b to $(printf 'n%.0s' $(seq 256)): File name too long
vorlane-cli: Can't rename file $work/dry/c to b: File exists" "$(cat dryerr.txt)"
"$cli" rename --yes --on-error ignore --names drybad.txt dry/a dry/b dry/c 2>err.txt
check "the real run fails as its dry run said" "$(cat dryerr.txt)" "$(cat err.txt)"
printf 'tab\tname\n' > drytab.txt
check "dry run shows a tab in a name" "$work/dry/a	$work/dry/tab␉name" "$("$cli" rename --dry-run --names drytab.txt dry/a)"
"$cli" rename --dry-run --check --names dry1.txt dry/a 2>err.txt; check "dry run with --check status" 2 $?
check "dry run with --check message" "vorlane-cli: give --check or --dry-run, not both" "$(cat err.txt)"
check "dry runs rename nothing" "a b" "$(cat dry/a) $(cat dry/b)"
check "dry runs leave nothing behind" "a b c" "$(echo $(ls -A dry))"
check "dry runs log nothing" "$logBefore" "$(cat "$VORLANE_HOME/vlnundo.txt"; printf x)"
# Names from a mask piped straight into a rename.
mkdir pipe && touch pipe/song.mp3 pipe/tune.mp3
"$cli" names --mask "[c2,'1'] [n].[e]" pipe/song.mp3 pipe/tune.mp3 | "$cli" rename --names - --yes pipe/song.mp3 pipe/tune.mp3
check "names piped into rename status" "0 0" "${PIPESTATUS[*]}"
check "names piped into rename" "01 song.mp3 02 tune.mp3" "$(echo $(ls pipe))"

# Names from a mask: counters, size of listed files, letter conversion, malformed masks.
printf 'hello' > s.txt
check "names" "001_002_s.txt 5
002_002_gone.mp3 0" "$("$cli" names --mask "[c3,'1']_[cc3]_[n].[e] [s]" s.txt gone.mp3)"
check "names letter conversion" "ZHUK.mp3" "$("$cli" names --mask '[n].[e]' --case upper --translit --exclude-ext -- "Жук.mp3")"
out=$("$cli" names --mask '[n3' a b); status=$?
check "malformed mask output" "<Error>
<Error>" "$out"
check "malformed mask status" 2 $status

# Names after a replace: plain text ignoring case, whole words, regular expressions with groups.
check "names replace" "a.mp3
b.mp3" "$("$cli" names --mask '[n].[e]' --replace MP3 mp3 -- a.MP3 b.mp3)"
check "names replace whole words" "X A ab" "$("$cli" names --mask '[n]' --replace a X --match-case --whole-words -- 'a A ab')"
check "names replace groups" "02 - Song" \
  "$("$cli" names --mask '[n]' --replace '^(.+?)_(\d+)$' '$2 - $1' --regex -- 'Song_02.mp3')"
out=$("$cli" names --mask '[n]' --replace '(ab' x --regex q 2>err.txt); status=$?
check "malformed replace status" 2 $status
check "malformed replace output" "" "$out"
check "malformed replace message" "vorlane-cli: --replace: bad regular expression '(ab': missing closing parenthesis at position 3" "$(cat err.txt)"
"$cli" names --mask '[n]' --regex q >/dev/null 2>&1; check "regex without replace" 2 $?
# A pattern the engine gives up on: a message with the path's line, no names.
hard="$(printf 'a%.0s' $(seq 30))x.mp3"
out=$("$cli" names --mask '[n]' --replace '(a+)+$|b' X --regex -- b.mp3 "$hard" 2>err.txt); status=$?
check "too complex status" 2 $status
check "too complex output" "" "$out"
check "too complex message" "vorlane-cli: --replace: The regular expression is too complex: Line 2" "$(cat err.txt)"


# Tag fields of a file with an ID3v1 block.
{ head -c 300 /dev/zero; printf 'TAG'; printf '%-30s' 'A Title'; printf '%-30s' 'Artist'; printf '%-30s' 'Album'
  printf '1999'; printf '%-30s' 'Note'; printf '\x11'; } > t.mp3
check "tags" "title=A Title
artist=Artist
album=Album
year=1999
comment=Note" "$("$cli" tags t.mp3)"
"$cli" tags nothing.mp3 >/dev/null 2>&1; check "tags of a missing file" 1 $?

# A project file: the list as scan prints it, each line with its name after a
# tab; the whole records before a broken one are printed.
printf '\\/m/Rock\r\nRock\r\n0\r\n0\r\n/m/Rock/caf\xe9.mp3\r\nnew\xff.mp3\r\n5\r\n7\r\n' > p.vln
check "project" "$(printf '#/m/Rock\tRock\n/m/Rock/caf\xe9.mp3\tnew\xff.mp3')" "$("$cli" project p.vln)"
printf '/x\r\nX\r\nbig\r\n0\r\n' >> p.vln
"$cli" project p.vln >out.txt 2>err.txt; check "broken project status" 1 $?
check "broken project lines" "$(printf '#/m/Rock\tRock\n/m/Rock/caf\xe9.mp3\tnew\xff.mp3')" "$(cat out.txt)"
check "broken project message" "vorlane-cli: can't read $work/p.vln: Line 11: the file size is not a number" "$(cat err.txt)"
# The undo log: listed as old<TAB>new; the last renames go back newest first,
# never replacing a file, and their entries leave the log. The first that
# cannot go back stops the run: the older renames were made on top of it.
ucli() { VORLANE_HOME="$work/undohome" "$cli" "$@"; }
mkdir U && touch U/a U/x
printf 'b\n' > u1.txt; ucli rename --yes --names u1.txt U/a 2>/dev/null
printf 'c\n' > u2.txt; ucli rename --yes --names u2.txt U/b 2>/dev/null
printf 'd\n' > u3.txt; ucli rename --yes --names u3.txt U/x 2>/dev/null
check "undo list" "$work/U/a	b
$work/U/b	c
$work/U/x	d" "$(ucli undo --list)"
touch U/x
ucli undo --last 3 2>err.txt; check "undo failure status" 1 $?
check "undo failure lines" "vorlane-cli: Can't rename file $work/U/d back to x: File exists
vorlane-cli: 2 older rename(s) were not taken back; their entries stay in the undo log" "$(cat err.txt)"
[ -e U/c ] && [ -e U/d ] && [ ! -e U/a ]; check "undo stops at the failure" 0 $?
check "undo keeps the entries" 3 "$(ucli undo --list | wc -l)"
rm U/x
ucli undo --last 5 2>err.txt; check "undo status" 0 $?
check "undo more than logged" "vorlane-cli: warning: the undo log held 3 rename(s)" "$(cat err.txt)"
[ -e U/x ] && [ ! -e U/d ] && [ -e U/a ] && [ ! -e U/b ] && [ ! -e U/c ]; check "undo took them back newest first" 0 $?
check "undo log emptied" "" "$(ucli undo --list)"
# An entry already back (its run stopped before the entry went) is dropped
# with a note; entries that are never taken back are listed with the reason.
printf '%s\r\nq\r\n\r\nrel/p\r\nq\r\n%s\r\nr\r\n' "$work/U/a" "$work/U/x" > "$work/undohome/vlnundo.txt"
check "undo list of refused entries" "$work/U/a	q
rel/p		The old path is not a full path
q		The old path is not a full path
$work/U/x	r" "$(ucli undo --list)"
ucli undo --last 1 2>err.txt; check "undo of an entry already back" 0 $?
check "undo note" "vorlane-cli: note: $work/U/r is already back as x; its entry leaves the undo log" "$(cat err.txt)"
ucli undo --last 1 2>err.txt; check "undo of a refused entry" 1 $?
check "undo refusal" "vorlane-cli: Can't take back the entry q: The old path is not a full path" "$(head -1 err.txt)"
[ -e U/a ] && [ -e U/x ]; check "undo of refused entries moves nothing" 0 $?
ucli undo --last 0 2>/dev/null; check "undo count refused" 2 $?
ucli undo 2>/dev/null; check "undo without an option" 2 $?
# Playing times: one line per path, the reasons on standard error.
sox -n -r 8000 -b 8 -c 1 tone.wav synth 2.5 sine 440 && sox -n -r 44100 -c 1 tone44.wav synth 3.5 sine 440 &&
  lame --quiet -b 64 tone44.wav tone.mp3
"$cli" time tone.wav tone.mp3 >out.txt 2>err.txt; check "time status" 0 $?
check "time output" "2
3" "$(cat out.txt)"
# A copy cut short and a file joined to itself: the frames they hold, not the
# count the encoder wrote at the start (mpg123 plays 1.73 s and 7.05 s).
head -c $(($(stat -c %s tone.mp3) / 2)) tone.mp3 > half.mp3 && cat tone.mp3 tone.mp3 > twice.mp3
"$cli" time half.mp3 twice.mp3 >out.txt 2>err.txt; check "time of a cut and a joined mp3" "1
7" "$(cat out.txt)"
timeout 10 "$cli" time tone.wav gone.mp3 s.txt fifo.mp3 >out.txt 2>err.txt; check "time failure status" 1 $?
check "time failure output" "2
0
0
0" "$(cat out.txt)"
check "time failure messages" "vorlane-cli: Can't open file $work/gone.mp3: No such file or directory
vorlane-cli: $work/s.txt: not an .mp3 or .wav file
vorlane-cli: Can't open file $work/fifo.mp3: not a regular file" "$(cat err.txt)"
# Tags of every kind: an MP3 with an ID3v2 tag and an ID3v1 tag appended; a FLAC with its own tags.
LC_ALL=C.UTF-8 lame --quiet --id3v2-only --tt 'Заголовок' --tn 3/9 --tg Jazz tone44.wav v2.mp3 &&
  { printf 'TAG%-30s%-30s' 'V1 title' 'V1 artist'; head -c 64 /dev/zero; printf '\x11'; } >>v2.mp3
check "tags off: ID3v1" "title=V1 title
artist=V1 artist
album=
year=
comment=" "$("$cli" tags v2.mp3)"
check "tags on: ID3v2 first" "title=Заголовок
artist=V1 artist
album=
year=
comment=
track=03
genre=Jazz" "$("$cli" tags --all-tags v2.mp3)"
check "names off" "V1 title" "$("$cli" names --mask '[mt]' v2.mp3)"
check "names on" "Заголовок" "$("$cli" names --mask '[mt]' --all-tags v2.mp3)"
# Without --all-tags: the ID3v1 genre byte's name, and no track (no ID3v1.1 track byte).
check "extended elements" "03 Jazz|Rock" "$("$cli" names --mask '[mn] [mg]' --all-tags --extended-elements v2.mp3)|$(
  "$cli" names --mask '[mn][mg]' --extended-elements v2.mp3)"
"$cli" names --mask '[mn]' --all-tags v2.mp3 >out.txt 2>/dev/null; check "extended elements off status" 2 $?
check "extended elements off" "<Error>" "$(cat out.txt)"
# A file that is no picture is named by its modification time.
touch -d '2021-07-04 10:11:12' dated.txt
check "date element" "2021-07-04 10.11.12 dated|2021-07-04" "$(
  "$cli" names --mask "[d'yyyy-MM-dd HH.mm.ss'] [n]" --extended-elements dated.txt)|$(
  "$cli" names --mask '[d]' --extended-elements dated.txt)"
if command -v flac >/dev/null && command -v metaflac >/dev/null; then
  sox -n -r 44100 -b 16 -c 1 two.wav synth 2 sine 440 && flac --silent -o two.flac two.wav &&
    metaflac --set-tag=ARTIST=Флак --set-tag=TRACKNUMBER=11 two.flac
  check "flac tags" "Флак 11" "$("$cli" names --mask '[ma] [mn]' --all-tags --extended-elements two.flac)"
  "$cli" time --all-tags two.flac s.txt >out.txt 2>err.txt; check "time --all-tags status" 1 $?
  check "time --all-tags" "2
0" "$(cat out.txt)"
  check "time --all-tags message" "vorlane-cli: $work/s.txt: not an audio file whose playing time is known" "$(cat err.txt)"
  "$cli" time two.flac >out.txt 2>/dev/null; check "time of flac without --all-tags" "1 0" "$? $(cat out.txt)"
else
  echo "SKIP flac tests: flac or metaflac is not installed"
fi
# Copy under new names into groups, complete a cut-short copy, compare the copies.
mkdir -p C/src C/out && printf 'alpha' > C/src/a.mp3 && printf 'bravo' > C/src/b.mp3 && printf 'charlie' > C/src/c.mp3
printf '#%s\n01.mp3\n#\n02.mp3\n#/music/Rock\n03.mp3\n' "$work/C/src" > C/names.txt
"$cli" copy --names C/names.txt --to C/out C/src/a.mp3 C/src/b.mp3 C/src/c.mp3 2>err.txt; check "copy status" 0 $?
check "copy summary" "vorlane-cli: Operation complete" "$(cat err.txt)"
check "copies" "alpha bravo charlie" "$(cat C/out/src/01.mp3) $(cat C/out/1/02.mp3) $(cat C/out/Rock/03.mp3)"
printf 'char' > C/out/Rock/03.mp3 && printf 'x' > C/out/1/02.mp3
"$cli" copy --on-error ignore --names C/names.txt --to C/out C/src/a.mp3 C/src/b.mp3 C/src/c.mp3 2>err.txt
check "copy onto a different file status" 1 $?
check "copy onto a different file message" "vorlane-cli: Target file differs from source $work/C/out/1/02.mp3
vorlane-cli: Operation complete" "$(cat err.txt)"
check "cut-short copy completed" "charlie" "$(cat C/out/Rock/03.mp3)"
"$cli" compare --on-error ignore --names C/names.txt --to C/out C/src/a.mp3 C/src/b.mp3 C/src/c.mp3 2>err.txt
check "compare status" 1 $?
check "compare message" "vorlane-cli: CRC are not coincide $work/C/src/b.mp3 (CRC=099BB889): $work/C/out/1/02.mp3 (CRC=8CDC1683)
vorlane-cli: Operation complete
vorlane-cli: 1 of 3 copies differ or are missing" "$(cat err.txt)"
"$cli" compare --names C/names.txt --to C/missing C/src/a.mp3 2>err.txt; check "compare into a missing folder" 2 $?
check "missing folder refused" "vorlane-cli: C/missing: is not a folder" "$(cat err.txt)"

# A file-size limit (SIGXFSZ) makes the write fail like a full disk: reported, not fatal.
mkdir -p X/out && head -c 300000 /dev/urandom > X/big.bin && printf 'big.bin\n' > X/names.txt
prlimit --fsize=65536 "$cli" copy --names X/names.txt --to X/out X/big.bin 2>err.txt
check "copy over the size limit status" 1 $?
check "copy over the size limit message" "vorlane-cli: File write error $work/X/out/0/big.bin: File too large
vorlane-cli: Operation was cancelled" "$(cat err.txt)"

# COMMAND --help prints that command's usage only.
check "command help" "Usage: vorlane-cli tags [--all-tags] PATH
      Print the ID3v1 fields of a file: title=, artist=, album=, year=, comment=.
      --all-tags         the fields of tags of every kind (ID3v2 first in MP3
                         files, a FLAC, Ogg, Opus, M4A... file's own tags),
                         then track= and genre=" "$("$cli" tags --help)"
check "command help with two forms" "Usage: vorlane-cli undo --list
   or: vorlane-cli undo --last N" "$("$cli" undo --help | grep -E '^(Usage|   or):')"
check "command help continues its synopsis" "Usage: vorlane-cli rename --names FILE [--yes] [--on-error abort|ignore] [--resolve-chains]
                          [--check | --dry-run] PATH..." "$("$cli" rename --help | head -2)"
for c in scan rename names tags project undo time copy compare; do
  out=$("$cli" "$c" --help); status=$?
  check "$c --help status" 0 $status
  check "$c --help names only $c" "" "$(printf '%s\n' "$out" | grep -E '^(Usage|   or): ' | grep -v "^.....: vorlane-cli $c ")"
  check "$c --help has no command list" "" "$(printf '%s\n' "$out" | grep -E '^Commands:')"
done

finish
