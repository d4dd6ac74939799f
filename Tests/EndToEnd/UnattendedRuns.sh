#!/usr/bin/env bash
# Unattended runs of FirmwareUpdater.exe against the simulated TAVIK8, as a user
# types them: through scripts/run and scripts/sim, under the Wine prefix,
# wineserver and display of the test run, with a device of this test's own.
# Usage: UnattendedRuns.sh BUILD_DIR
set -uo pipefail
REPO=$(cd "$(dirname "$0")/../.." && pwd)
export KX_BUILD=$1
FIRMWARE="$KX_BUILD/FirmwareUpdater/ZTSeries8.led"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export TAVIK8_SIM="$WORK/device.state"
failures=0

sim() { "$REPO/scripts/sim" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
updater() { "$REPO/scripts/run" "$@" </dev/null >"$WORK/out" 2>&1; }
status_value() { sim status | sed -n "s/^$1=//p" | head -1; }
check() { # description, expected, actual
    if [ "$2" == "$3" ]; then
        echo "ok    $1"
    else
        echo "FAIL  $1: expected [$2], got [$3]"
        failures=$((failures + 1))
    fi
}
# The exit code of the updater with these arguments.
exit_code() {
    updater "$@"
    echo $?
}
# A device that is not there: switched off for an hour.
no_device() {
    sim reset >/dev/null
    sim set off_ms=3600000 >/dev/null
    sim power-cycle >/dev/null
}

echo "== -RETURN_UPDATE_MODE_STATUS"
no_device
check "no device: 1" 1 "$(exit_code -RETURN_UPDATE_MODE_STATUS)"
sim reset --mode update >/dev/null
check "update mode, file 1.0.4.4 newer than the unknown version: 3" 3 "$(exit_code -RETURN_UPDATE_MODE_STATUS)"
check "update mode, no such firmware file: 2" 2 \
    "$(exit_code -RETURN_UPDATE_MODE_STATUS -FIRMWARE_IMAGE_NAME=missing.led)"
check "lower case, other order: 2" 2 "$(exit_code -firmware_image_name=missing.led -return_update_mode_status)"
sim reset --version 1.0.3.0 >/dev/null
check "normal mode, 1.0.3.0 older than the file: 5" 5 "$(exit_code -RETURN_UPDATE_MODE_STATUS)"
sim reset --version 1.0.4.4 >/dev/null
check "normal mode, 1.0.4.4 up to date: 4" 4 "$(exit_code -RETURN_UPDATE_MODE_STATUS)"
sim reset --version 1.0.5.0 >/dev/null
check "normal mode, 1.0.5.0 newer than the file: 4" 4 "$(exit_code -Return_Update_Mode_Status)"
check "the status run sent no mode change" "" "$(sim transcript | grep -i '51 4A 64 29 3E 52 54')"

echo "== -SILENT -START_UPDATE_AUTOMATICALLY, device in update mode"
sim reset --mode update >/dev/null
check "exit code 0" 0 "$(exit_code -SILENT -START_UPDATE_AUTOMATICALLY)"
check "the whole image arrived" "$(cat "$FIRMWARE")" "$(sim image)"
check "every record acknowledged" 48 "$(status_value records)"
check "no protocol violation" 0 "$(status_value violations)"

echo "== -SILENT -START_UPDATE_AUTOMATICALLY, device in normal mode, then a power cycle"
sim reset --version 1.0.3.0 >/dev/null
check "first run: exit code 0" 0 "$(exit_code -start_update_automatically -silent)"
check "first run: the mode change was sent" 1 "$(sim transcript | grep -ci '51 4A 64 29 3E 52 54')"
check "first run: no image" 0 "$(status_value records)"
sim power-cycle >/dev/null
check "after the power cycle the device is in update mode" update "$(status_value mode)"
check "second run: exit code 0" 0 "$(exit_code -SILENT -START_UPDATE_AUTOMATICALLY)"
check "second run: the whole image arrived" "$(cat "$FIRMWARE")" "$(sim image)"

echo "== a firmware file whose path has blanks, given in quotes"
mkdir -p "$WORK/fw dir"
sim make-image --records 5 --size 20 --seed 9 >"$WORK/fw dir/my fw.led"
windows_path="Z:${WORK//\//\\}\\fw dir\\my fw.led"
sim reset --mode update >/dev/null
check "exit code 0" 0 "$(exit_code -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=\"$windows_path\"")"
check "that file's image arrived" "$(cat "$WORK/fw dir/my fw.led")" "$(sim image)"
sim reset --mode update >/dev/null
check "without quotes the path ends at the blank: no file, the window is needed" 255 \
    "$(exit_code -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$windows_path")"
check "and nothing was sent" 0 "$(status_value records)"

echo "== -SILENT_IF_UPDATE_NOT_NEEDED, device up to date"
sim reset --version 1.0.4.4 >/dev/null
check "exit code 0, no window needed" 0 "$(exit_code -SILENT_IF_UPDATE_NOT_NEEDED)"
check "nothing but the identity query" "" "$(sim transcript | grep -i '51 4A 64 29 3E 52 54')"

echo "== a run that needs the update screen"
code=$(exit_code)
check "no options: the run stops at the main control that is not registered yet (255)" 255 "$code"
check "it says so" 1 "$(grep -c 'GetControlCreateFunction' "$WORK/out")"

echo "== debug output as UDP datagrams (-DEBUG_CONSOLE:PORT:HOST)"
port=$((40000 + RANDOM % 20000))
timeout 30 python3 -c "
import socket
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(('127.0.0.1', $port))
s.settimeout(5)
try:
    while True:
        print(s.recvfrom(65536)[0].decode('utf-8', 'replace'))
except OSError:
    pass
" >"$WORK/udp" &
listener=$!
sleep 0.5
updater -debug_console:$port:127.0.0.1
wait $listener
check "the banner comes first" "*** APPLICATION Launched on " "$(head -1 "$WORK/udp")"
check "the report follows" 1 "$(grep -c 'GetControlCreateFunction' "$WORK/udp")"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
