#!/usr/bin/env bash
# Runs of FirmwareUpdater.exe with its window, as a person uses it: started by
# scripts/run with the display of the test run, clicked with xdotool at the
# buttons' places, the device switched off and on with scripts/sim. Every
# screen it passes through is saved under screenshots/<test>/ (WindowUpdateRuns,
# WindowOtherRuns, or WindowRuns for both parts).
# Usage: WindowRuns.sh BUILD_DIR [update|other|all]   (all by default)
set -uo pipefail
REPO=$(cd "$(dirname "$0")/../.." && pwd)
export KX_BUILD=$1
PART=${2:-all}
case "$PART" in
    update) SHOTS="$KX_BUILD/screenshots/WindowUpdateRuns" ;;
    other) SHOTS="$KX_BUILD/screenshots/WindowOtherRuns" ;;
    all) SHOTS="$KX_BUILD/screenshots/WindowRuns" ;;
    *)
        echo "usage: WindowRuns.sh BUILD_DIR [update|other|all]" >&2
        exit 2
        ;;
esac
FIRMWARE="$KX_BUILD/FirmwareUpdater/ZTSeries8.led"
WORK=$(mktemp -d)
export TAVIK8_SIM="$WORK/device.state"
source "$REPO/Tests/EndToEnd/WindowHelpers.sh"
rm -rf "$SHOTS"
failures=0
source "$REPO/Tests/EndToEnd/RunChecks.sh"
RUN=""

cleanup() {
    [ -n "$RUN" ] && kill "$RUN" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

# Starts the updater with these arguments in the background; its exit code
# lands in $WORK/exit.
start_updater() {
    rm -f "$WORK/exit"
    (WINEDEBUG=warn+heap "$REPO/scripts/run" "$@" </dev/null >"$WORK/out" 2>&1; echo $? >"$WORK/exit") &
    RUN=$!
}
# Waits up to $1 seconds for the updater to end; its exit code. The run's
# faults are kept.
updater_exit() {
    local i
    for i in $(seq $(($1 * 5))); do
        [ -s "$WORK/exit" ] && break
        sleep 0.2
    done
    RUN=""
    keep_faults "$WORK/out"
    cat "$WORK/exit" 2>/dev/null || echo "still running"
}
# Waits until the status key $1 has value $2, for up to $3 seconds (a
# status query each time, which takes a second or more on a busy machine).
wait_status() {
    local end=$((SECONDS + $3))
    until [ "$(status_value "$1")" == "$2" ]; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.2
    done
}
# Waits up to $1 seconds until the device has acknowledged a record: the
# image is being sent.
wait_transfer() {
    local end=$((SECONDS + $1))
    until [ "$(status_value records)" -gt 0 ] 2>/dev/null; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.2
    done
}
# The checks made during a transfer need a transfer that lasts as long as
# they take, however busy the machine: the link crawls at this many bytes per
# second (a data message 1.2 s on it, well inside the updater's and the
# device's waits) until they are done, and then goes back to DIN MIDI speed.
CRAWL_BYTES_PER_S=20
DIN_BYTES_PER_S=3125
link_speed() { sim set "wire_bytes_per_s=$1" >/dev/null; }
# The CRC-32 of the image in a firmware file, as the device reports it.
image_crc() {
    python3 -c "import sys, zlib; print('%08x' % zlib.crc32(bytes.fromhex(open(sys.argv[1]).read().strip())))" "$1"
}
# The close box of the caption, Alt+F4 and the close command from outside.
try_to_close() {
    xdotool mousemove $((X + WIDTH - 12)) $((Y + 10)) click 1
    xdotool key alt+F4
    sleep 1
}

# The update with the window: the two steps with the mouse, and the run that
# starts it by itself.
update_runs() {
    echo "== no options: the update screen, and the two-step update with the mouse"
    sim reset --version 1.0.3.0 >/dev/null
    sim set "expect_image=$FIRMWARE" wire_bytes_per_s=$DIN_BYTES_PER_S ack_latency_ms=10 >/dev/null
    start_updater
    if ! wait_window 90; then
        echo "FAIL  no window: $(tr -d '\r' <"$WORK/out" | head -3)"
        exit 1
    fi
    wait_button 01_ready $EXIT_BUTTON shown 30
    check "UPDATE FIRMWARE is shown" shown "$(button_at 01_ready $LEFT_BUTTON)"
    check "EXIT is shown" shown "$(button_at 01_ready $EXIT_BUTTON)"

    click_client $LEFT_BUTTON
    wait_status count.mode_changes 1 30
    # The screen that asks for the power cycle: EXIT gone, NEXT in the place of
    # UPDATE FIRMWARE.
    wait_button 02_switch_off_and_on $EXIT_BUTTON hidden 30
    wait_button 02_switch_off_and_on $LEFT_BUTTON shown 30
    check "UPDATE FIRMWARE sent one mode change" 1 "$(status_value count.mode_changes)"
    check "NEXT is shown" shown "$(button_at 02_switch_off_and_on $LEFT_BUTTON)"
    check "EXIT is hidden" hidden "$(button_at 02_switch_off_and_on $EXIT_BUTTON)"

    click_client $LEFT_BUTTON
    sleep 1
    read_status
    check "NEXT before the power cycle starts nothing" "" "$(value count.handshakes)"
    check "and sends no second mode change" 1 "$(value count.mode_changes)"

    sim power-cycle >/dev/null
    check "after the power cycle the device is in update mode" update "$(status_value mode)"
    link_speed $CRAWL_BYTES_PER_S
    click_client $LEFT_BUTTON
    wait_transfer 90
    # The screen shows the transfer a moment after it has begun.
    wait_button 03_transfer $EXIT_BUTTON hidden 30
    check "EXIT is hidden during the transfer" hidden "$(button_at 03_transfer $EXIT_BUTTON)"
    try_to_close
    check "closing the window during the transfer is refused" yes "$(window_exists && echo yes || echo no)"
    check "the run goes on" "" "$(cat "$WORK/exit" 2>/dev/null)"
    check "the transfer went on while they were made" yes \
        "$([ "$(status_value records)" -lt 48 ] 2>/dev/null && echo yes || echo no)"
    link_speed $DIN_BYTES_PER_S

    wait_status records 48 120
    shot 04_waiting_for_reset
    wait_status version 1.0.4.4 60
    # The screen probes the device every 500 ms until it is back, then offers EXIT.
    wait_button 05_updated $EXIT_BUTTON shown 30
    read_status
    check "the device came back with the new version" 1.0.4.4 "$(value version)"
    check "it received the file's image" "$(image_crc "$FIRMWARE")" "$(value image_crc32)"
    check "the image is the one it expects" match "$(value image_verdict)"
    check "no protocol violation" 0 "$(value violations)"
    check "EXIT is shown" shown "$(button_at 05_updated $EXIT_BUTTON)"
    click_client $EXIT_BUTTON
    check "EXIT ends the run with exit code 0" 0 "$(updater_exit 30)"
    check "the ports were closed" "" "$(status_value open_ports)"

    echo "== -START_UPDATE_AUTOMATICALLY: the window opens while the transfer runs"
    sim reset --mode update >/dev/null
    sim set "expect_image=$FIRMWARE" wire_bytes_per_s=$CRAWL_BYTES_PER_S ack_latency_ms=10 >/dev/null
    start_updater -START_UPDATE_AUTOMATICALLY
    wait_window 90 || echo "FAIL  no window"
    wait_transfer 90
    wait_button 06_started_automatically $EXIT_BUTTON hidden 30
    try_to_close
    check "closing it during the transfer is refused" yes "$(window_exists && echo yes || echo no)"
    check "the transfer went on meanwhile" yes \
        "$([ "$(status_value records)" -lt 48 ] 2>/dev/null && echo yes || echo no)"
    link_speed $DIN_BYTES_PER_S
    wait_status version 1.0.4.4 120
    wait_button 07_started_automatically_done $EXIT_BUTTON shown 30
    read_status
    check "the update went through" 1.0.4.4 "$(value version)"
    check "no protocol violation" 0 "$(value violations)"
    check "EXIT is shown after it" shown "$(button_at 07_started_automatically_done $EXIT_BUTTON)"
    click_client $EXIT_BUTTON
    check "exit code 0" 0 "$(updater_exit 30)"
}

# The other cases: no firmware file, a second run beside a first one that
# sends, and the debug output.
other_runs() {
    echo "== a firmware path that ends at a blank: no file, the window says so"
    sim reset >/dev/null
    start_updater -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=Z:${WORK//\//\\}\\fw dir\\my fw.led"
    wait_window 90 || echo "FAIL  no window"
    wait_button 08_no_file $EXIT_BUTTON shown 30
    check "UPDATE FIRMWARE is hidden" hidden "$(button_at 08_no_file $LEFT_BUTTON)"
    check "nothing was sent" 0 "$(status_value records)"
    try_to_close
    check "closing the window ends the run with exit code 0" 0 "$(updater_exit 30)"

    echo "== two runs, the second started while the first sends silently"
    # The link crawls until the second run has been looked at: the first run
    # still sends, however long the second takes to open its window.
    sim make-image --records 30 --size 64 --seed 11 >"$WORK/large.led"
    large_path="Z:${WORK//\//\\}\\large.led"
    sim reset --mode update >/dev/null
    sim set "expect_image=$WORK/large.led" wire_bytes_per_s=$CRAWL_BYTES_PER_S >/dev/null
    WINEDEBUG=warn+heap "$REPO/scripts/run" -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$large_path" </dev/null >"$WORK/first" 2>&1 &
    first=$!
    # The second run starts once the first holds the ports: its first record
    # has been acknowledged (given up after 90 s, as for a window).
    first_sends=no
    end=$((SECONDS + 90))
    while [ "$SECONDS" -lt "$end" ] && kill -0 "$first" 2>/dev/null; do
        [ "$(status_value records)" -gt 0 ] 2>/dev/null && first_sends=yes && break
        sleep 0.2
    done
    check "the first run sends before the second starts" yes "$first_sends"
    start_updater -SILENT "-ABSOLUTE_FIRMWARE_FILE_PATH=$large_path"
    if wait_window 90; then
        # This is the case of a second run that opens while the first still
        # sends (were the first done, its device would be free for the second).
        check "the first run still sends when the second run's window opens" yes \
            "$(kill -0 "$first" 2>/dev/null && [ "$(status_value records)" -lt 30 ] 2>/dev/null && echo yes || echo no)"
        wait_button 09_second_run $LEFT_BUTTON shown 30
        # The ports are the first run's: no device for this one, whose screen
        # offers SCAN FOR DEVICE at the left button's place.
        check "the second run shows its screen with a button to the left" shown \
            "$(button_at 09_second_run $LEFT_BUTTON)"
        try_to_close
    fi
    check "the second run ends with exit code 0 when its window is closed" 0 "$(updater_exit 30)"
    link_speed $DIN_BYTES_PER_S
    wait $first
    check "the first run: exit code 0" 0 "$?"
    keep_faults "$WORK/first"
    read_status
    check "the first run: the image arrived whole" "$(image_crc "$WORK/large.led")" "$(value image_crc32)"
    check "the first run: no protocol violation" 0 "$(value violations)"
    check "the second run sent nothing: one handshake" 1 "$(value count.handshakes)"

    echo "== debug output as UDP datagrams (-DEBUG_CONSOLE:PORT:HOST) from a run with its window"
    sim reset >/dev/null
    port=$((40000 + RANDOM % 20000))
    # The listener says when it is bound, and takes datagrams until it is
    # ended: on a busy machine the program may take most of a minute to send
    # its first one.
    timeout 300 python3 -c "
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(('127.0.0.1', $port))
open(sys.argv[1], 'w').close()
while True:
    print(s.recvfrom(65536)[0].decode('utf-8', 'replace'), flush=True)
    " "$WORK/udp_bound" >"$WORK/udp" &
    listener=$!
    end=$((SECONDS + 60))
    until [ -e "$WORK/udp_bound" ] || [ "$SECONDS" -ge "$end" ]; do sleep 0.2; done
    start_updater -debug_console:$port:127.0.0.1
    wait_window 90 || echo "FAIL  no window"
    sleep 1
    try_to_close
    check "closing the window ends the run with exit code 0" 0 "$(updater_exit 30)"
    # What the program sent before it ended waits in the listener's socket.
    end=$((SECONDS + 30))
    until [ -s "$WORK/udp" ] || [ "$SECONDS" -ge "$end" ]; do sleep 0.2; done
    kill "$listener" 2>/dev/null
    wait "$listener" 2>/dev/null
    check "the banner comes first" "*** APPLICATION Launched on " "$(head -1 "$WORK/udp")"
}

# Both parts, or the one named: ctest runs them as two tests, each inside
# its time limit on a busy machine (a start of the program with its window
# takes most of a minute beside six busy processes per core).
case "$PART" in
    update) update_runs ;;
    other) other_runs ;;
    all)
        update_runs
        other_runs
        ;;
esac
finish_checks
