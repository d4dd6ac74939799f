#!/usr/bin/env bash
# Unattended runs of FirmwareUpdater.exe against the simulated TAVIK8, as a user
# types them: through scripts/run and scripts/sim, under the Wine prefix,
# wineserver and display of the test run, with a device of this test's own.
# Usage: UnattendedRuns.sh BUILD_DIR [status|updates|all]   (all by default)
set -uo pipefail
REPO=$(cd "$(dirname "$0")/../.." && pwd)
export KX_BUILD=$1
FIRMWARE="$KX_BUILD/FirmwareUpdater/ZTSeries8.led"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export TAVIK8_SIM="$WORK/device.state"
failures=0
source "$REPO/Tests/EndToEnd/RunChecks.sh"

# Runs the updater, its faults kept.
updater() {
    WINEDEBUG=warn+heap "$REPO/scripts/run" "$@" </dev/null >"$WORK/out" 2>&1
    local code=$?
    keep_faults "$WORK/out"
    return $code
}
# The exit code of the updater with these arguments.
exit_code() {
    updater "$@"
    echo $?
}
# Waits until the device is in mode $1: it restarts in its own time after an
# update, once it has heard nothing for its quiet time (5 s) and rebooted.
# Given up after a minute, which a loaded machine does not reach. The status
# read last is the one in that mode.
wait_for_mode() {
    local end=$((SECONDS + 60))
    while [ "$SECONDS" -lt "$end" ]; do
        read_status
        [ "$(value mode)" == "$1" ] && return 0
        sleep 0.2
    done
    return 1
}
# A fresh device in update mode that accepts only the image of the file $1
# (the default firmware file without an argument), with settings $2...
device_expecting() {
    local image=${1:-$FIRMWARE}
    shift || true
    sim reset --mode update >/dev/null
    sim set "expect_image=$image" "$@" >/dev/null
}
# The length and CRC-32 of the image in firmware file $1, as the device
# reports those of the image it received.
image_summary() {
    python3 -c "import sys, zlib; i = bytes.fromhex(open(sys.argv[1]).read().strip()); print(len(i), '%08x' % zlib.crc32(i))" "$1"
}
# The image of file $1 arrived whole, in order and paced, and the device took
# it (checks named $2; the status read for them stays for more).
check_clean_update() {
    read_status
    check "$2: the whole image arrived" "$(image_summary "$1")" "$(value image_bytes) $(value image_crc32)"
    check "$2: it is the image the device expects" match "$(value image_verdict)"
    check "$2: no protocol violation" 0 "$(value violations)"
}
# A device that is not there: switched off for an hour.
no_device() {
    sim reset >/dev/null
    sim set off_ms=3600000 >/dev/null
    sim power-cycle >/dev/null
}

# The status queries, and the runs that end at once: what an installer
# asks, and what a run keeps in its settings files.
status_runs() {
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
    # A file whose image cannot be sent whole needs no update.
    printf '0003ABCDEF0001F' >"$WORK/odd.led"
    : >"$WORK/empty.led"
    sim reset --version 1.0.3.0 >/dev/null
    check "normal mode, 1.0.3.0, a file of odd length: 4" 4 \
        "$(exit_code -RETURN_UPDATE_MODE_STATUS "-ABSOLUTE_FIRMWARE_FILE_PATH=Z:${WORK//\//\\}\\odd.led")"
    sim reset --mode update >/dev/null
    check "update mode, an empty file: 2" 2 \
        "$(exit_code -RETURN_UPDATE_MODE_STATUS "-ABSOLUTE_FIRMWARE_FILE_PATH=Z:${WORK//\//\\}\\empty.led")"


    echo "== -SILENT_IF_UPDATE_NOT_NEEDED, device up to date"
    sim reset --version 1.0.4.4 >/dev/null
    check "exit code 0, no window needed" 0 "$(exit_code -SILENT_IF_UPDATE_NOT_NEEDED)"
    check "nothing but the identity query" "" "$(sim transcript | grep -i '51 4A 64 29 3E 52 54')"

    echo "== the settings files"
    sim reset >/dev/null
    updater -RETURN_UPDATE_MODE_STATUS
    settings_dir=$(find "${WINEPREFIX:-$KX_BUILD/wineprefix}/drive_c/users" -type d \
        -path "*/AppData/Local/Ostrel/TAVIK8 Updater" | head -1)
    user_settings="$settings_dir/UserSettings.ini"
    check "a run keeps its skin index in the user settings" 1 "$(grep -c '^CurrentSkinIndex=0' "$user_settings")"
    before=$(stat -c %y "$user_settings")
    updater -RETURN_UPDATE_MODE_STATUS
    check "a status query that changes nothing writes nothing" "$before" "$(stat -c %y "$user_settings")"
    # A file in UTF-16 with the keys of another program, as Windows' own profile
    # functions write one; the run sets its skin index (to the one skin there is).
    { printf '\xff\xfe'; printf '[Other]\r\nKey=Value \xc3\xa9\r\n[Window]\r\nWP=1\r\nCurrentSkinIndex=3\r\n' |
        iconv -f UTF-8 -t UTF-16LE; } >"$user_settings"
    updater -RETURN_UPDATE_MODE_STATUS
    check "a UTF-16 file stays UTF-16" "fffe" "$(head -c 2 "$user_settings" | od -An -tx1 | tr -d ' \n')"
    decoded=$(tail -c +3 "$user_settings" | iconv -f UTF-16LE -t UTF-8 | tr -d '\r')
    check "its other keys are kept" 1 "$(echo "$decoded" | grep -c '^Key=Value é$')"
    check "and the skin index was written" 1 "$(echo "$decoded" | grep -c '^CurrentSkinIndex=0$')"
    printf 'CurrentSkinIndex=3\r\n' >"$user_settings"
    chmod a-w "$user_settings"
    updater -RETURN_UPDATE_MODE_STATUS
    check "a read-only file is not rewritten" "CurrentSkinIndex=3" "$(tr -d '\r\n' <"$user_settings")"
    check "and stays read-only" "" "$(find "$user_settings" -perm -u=w)"
    chmod u+w "$user_settings"
    rm -f "$user_settings"

}

# Silent updates: whole transfers, the device's faults and its restart.
update_runs() {
    echo "== -SILENT -START_UPDATE_AUTOMATICALLY, device in update mode"
    device_expecting
    check "exit code 0" 0 "$(exit_code -SILENT -START_UPDATE_AUTOMATICALLY)"
    check_clean_update "$FIRMWARE" "update mode"
    check "every record acknowledged" 48 "$(value records)"
    wait_for_mode normal
    check "the device came back with the new version" 1.0.4.4 "$(value version)"

    echo "== -SILENT -START_UPDATE_AUTOMATICALLY, device in normal mode, then a power cycle"
    sim reset --version 1.0.3.0 >/dev/null
    sim set "expect_image=$FIRMWARE" >/dev/null
    check "first run: exit code 0" 0 "$(exit_code -start_update_automatically -silent)"
    check "first run: the mode change was sent" 1 "$(sim transcript | grep -ci '51 4A 64 29 3E 52 54')"
    read_status
    check "first run: no image" 0 "$(value records)"
    check "first run: no protocol violation" 0 "$(value violations)"
    sim power-cycle >/dev/null
    check "after the power cycle the device is in update mode" update "$(status_value mode)"
    check "second run: exit code 0" 0 "$(exit_code -SILENT -START_UPDATE_AUTOMATICALLY)"
    check_clean_update "$FIRMWARE" "second run"
    wait_for_mode normal
    check "second run: the device came back with the new version" 1.0.4.4 "$(value version)"

    echo "== a slow device: every reply 400 ms late (well inside the updater's waits)"
    sim make-image --records 6 --size 30 --seed 5 >"$WORK/short.led"
    device_expecting "$WORK/short.led" ack_latency_ms=400
    check "exit code 0" 0 "$(exit_code -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=Z:${WORK//\//\\}\\short.led")"
    check_clean_update "$WORK/short.led" "slow device"
    wait_for_mode normal
    check "the device came back with the new version" 1.0.4.4 "$(value version)"

    echo "== a device that never acknowledges the third record"
    device_expecting "$FIRMWARE" drop_ack_at=2
    check "exit code 0 (a silent run reports through the status query)" 0 "$(exit_code -SILENT)"
    read_status
    check "the transfer stopped there" 2 "$(value records)"
    check "no protocol violation" 0 "$(value violations)"
    wait_for_mode normal
    check "after its restart the device still has its old version" 1.0.3.0 "$(value version)"
    check "it did not take the partial image" mismatch "$(value image_verdict)"
    check "an update is still needed: 5" 5 "$(exit_code -RETURN_UPDATE_MODE_STATUS)"

    echo "== the link at DIN MIDI speed (3125 bytes/s), with stale and duplicate acknowledgements"
    # Each extra acknowledgement comes right behind a real one; at this speed the
    # next record's last message starts tens of milliseconds later. This is the
    # case of an extra one that the updater has before that message (one that
    # came after it would be the record's own for any host); the engine tests
    # make it at a defined point of the exchange.
    device_expecting "$FIRMWARE" wire_bytes_per_s=3125 ack_latency_ms=20 stale_ack_at=3 duplicate_ack_at=6
    check "exit code 0" 0 "$(exit_code -SILENT)"
    check_clean_update "$FIRMWARE" "3125 bytes/s"
    check "every record acknowledged once" 48 "$(value records)"

    echo "== a firmware file saved with a line end, whose path has blanks, given in quotes"
    mkdir -p "$WORK/fw dir"
    sim make-image --records 5 --size 20 --seed 9 >"$WORK/fw.txt"
    printf '%s\r\n' "$(cat "$WORK/fw.txt")" >"$WORK/fw dir/my fw.led"
    windows_path="Z:${WORK//\//\\}\\fw dir\\my fw.led"
    device_expecting "$WORK/fw dir/my fw.led"
    check "exit code 0" 0 "$(exit_code -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=\"$windows_path\"")"
    check_clean_update "$WORK/fw.txt" "the file with a line end"
    # Without quotes the path ends at the blank: the run needs the window
    # (WindowRuns.sh).
}

# Both parts, or the one named: ctest runs them as two tests, each inside
# its time limit on a busy machine (a run of the program costs 15 to 20 s
# beside six busy processes per core).
case "${2:-all}" in
    status) status_runs ;;
    updates) update_runs ;;
    all)
        status_runs
        update_runs
        ;;
    *)
        echo "usage: UnattendedRuns.sh BUILD_DIR [status|updates|all]" >&2
        exit 2
        ;;
esac
finish_checks
