# Sourced by the end-to-end scripts: the simulated device's status, checks
# that count their failures, and what Wine reported of each run of the
# updater. Needs REPO, WORK (the script's scratch folder) and failures=0.

sim() { "$REPO/scripts/sim" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# Every question to the device starts a Wine program, which takes a second
# and more on a busy machine: the checks of one moment read one status.
read_status() { STATUS=$(sim status); }
# The value of key $1 in the status read last.
value() { sed -n "s/^$1=//p" <<<"$STATUS" | head -1; }
status_value() {
    read_status
    value "$1"
}
check() { # description, expected, actual
    if [ "$2" == "$3" ]; then
        echo "ok    $1"
    else
        echo "FAIL  $1: expected [$2], got [$3]"
        failures=$((failures + 1))
    fi
}
# Keeps what Wine reported in the output $1 of a run of the updater: an
# exception that ended it (an exit code of its own may hide one) in
# $WORK/exceptions, and what its heap checks found (the updater runs with
# WINEDEBUG=warn+heap: a block freed twice, or through a stale pointer, is
# reported there and nowhere else) in $WORK/heap.
keep_faults() {
    grep -i "unhandled" "$1" >>"$WORK/exceptions"
    grep "heap:" "$1" >>"$WORK/heap"
}
# The checks of every run together, the count of failures, and the script's
# exit status: 0 when none failed.
finish_checks() {
    check "no run ended by an exception" "" "$(cat "$WORK/exceptions" 2>/dev/null)"
    check "no run reported a damaged heap or a bad free" "" "$(cat "$WORK/heap" 2>/dev/null)"
    echo "$failures failure(s)"
    [ "$failures" -eq 0 ]
}
