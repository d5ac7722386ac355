# Shared by the script tests: check NAME EXPECTED ACTUAL counts a check and
# prints both sides when they differ; finish prints the tally and fails when
# any check did.
failures=0
checks=0
check() { # name expected actual
  checks=$((checks + 1))
  if [ "$2" != "$3" ]; then
    echo "FAIL $1"; echo "  expected: $(printf '%q' "$2")"; echo "  actual:   $(printf '%q' "$3")"
    failures=$((failures + 1))
  fi
}
finish() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}
