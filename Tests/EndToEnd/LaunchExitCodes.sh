#!/usr/bin/env bash
# launch.exe (through which scripts/run starts the program) passes a
# program's exit code on, except an exception's: that one it reports on
# standard error and turns into 255, so that a crash is never read as a
# status answer. Wine's cmd.exe stands in for a program ending with a code.
# Usage: LaunchExitCodes.sh BUILD_DIR
set -uo pipefail
LAUNCH="$1/Launcher/launch.exe"
CMD='C:\windows\system32\cmd.exe'
ERROR_FILE=$(mktemp)
trap 'rm -f "$ERROR_FILE"' EXIT
failures=0

# exit code of the stand-in, expected exit code, expected text on standard error
while read -r code expected report; do
    KX_RUN_COMMAND_LINE="/c exit $code" wine "$LAUNCH" "$CMD" </dev/null >/dev/null 2>"$ERROR_FILE"
    actual=$?
    error=$(tr -d '\r' <"$ERROR_FILE")
    if [ "$actual" != "$expected" ]; then
        echo "FAIL  exit $code: expected exit code $expected, got $actual"
        failures=$((failures + 1))
    elif [ -n "$report" ] && ! grep -qF "$report" <<<"$error"; then
        echo "FAIL  exit $code: standard error lacks [$report]: [$error]"
        failures=$((failures + 1))
    elif [ -z "$report" ] && grep -q "exception" <<<"$error"; then
        echo "FAIL  exit $code: an exception reported: [$error]"
        failures=$((failures + 1))
    else
        echo "ok    exit $code: $actual"
    fi
done <<'CASES'
0 0
5 5
4 4
-1073741819 255 ended by exception 0xC0000005
-1073741571 255 ended by exception 0xC00000FD
-1073740791 255 ended by exception 0xC0000409
CASES

[ "$failures" -eq 0 ]
