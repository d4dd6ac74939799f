# Sourced by the project's scripts: where the build, the Wine prefix and the
# simulated device's state live, and Wine's settings for every run.
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="${KX_BUILD:-$REPO/build}"
export WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs; the repository's winmm.dll (the simulated
# TAVIK8, placed beside the programs that use MIDI) before the system's;
# everything else as Wine chooses.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=;winmm=n,b}"
# The simulated device's state, shared by scripts/sim, scripts/run and the
# programs they start (a Unix path: the simulation converts it under Wine).
export TAVIK8_SIM="${TAVIK8_SIM:-$BUILD/tavik8-sim.state}"
# Paths below the repository are hashed relative to it, so that clones and
# worktrees of the repository share the compiler cache's entries.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$REPO}"
# Builds of other checkouts share the cache: the build folder's own path (in
# the debug information) must not make every object a miss.
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
# Mesa keeps no shader cache on disk for the programs' OpenGL (llvmpipe under
# Xvfb): its cache starts a writer thread of the lowest priority, and at the
# exit of a program that drew with OpenGL that thread is joined. On a busy
# machine it may not have run for seconds by then, and the process is killed
# while it ends. Mesa 22 reads this variable.
export MESA_SHADER_CACHE_DISABLE="${MESA_SHADER_CACHE_DISABLE:-true}"

# no_crash_dialog: a program that crashes prints its backtrace and ends, as
# Wine's debugger does without its crash dialog; with the dialog it would wait
# for a person (and a test until its time-out). Called by start_wine, once
# the display and the server are up, for every script.
no_crash_dialog() {
    if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null || true
    fi
}
export LANG=en_US.UTF-8
export LC_ALL=en_US.UTF-8

# configure_and_build: configures the tree once and builds everything.
configure_and_build() {
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    if [ ! -f "$BUILD/build.ninja" ]; then
        cmake -S "$REPO" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/toolchain-mingw64.cmake" "${launcher[@]}" >/dev/null
    fi
    cmake --build "$BUILD" -- -k 0
}

# ensure_prefix: a private Wine prefix, made once, with the fonts GDI+ and
# Wine's window captions need.
ensure_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    local f
    # Marlett draws the caption's minimise, maximise and close buttons.
    for f in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf \
             /usr/share/wine/fonts/marlett.ttf \
             /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf \
             /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf; do
        [ -f "$f" ] && [ ! -f "$fonts/$(basename "$f")" ] && cp "$f" "$fonts/"
    done
    return 0
}

# The display of every Wine process of the prefix. The prefix's wineserver
# and its desktop take the display of the Wine process that starts them, and
# in a server session without a usable display no window can be made; so the
# scripts choose the display before any Wine process starts, and restart a
# server that was started for another one (start_wine).

# use_kept_display: DISPLAY set to a private Xvfb that is started once and
# kept for later runs (its process and number in $BUILD/run-display).
use_kept_display() {
    local state="$BUILD/run-display"
    if [ -f "$state" ] && kill -0 "$(cut -d' ' -f1 "$state")" 2>/dev/null; then
        export DISPLAY=":$(cut -d' ' -f2 "$state")"
        return 0
    fi
    mkdir -p "$BUILD"
    local fd_file xvfb_pid
    fd_file=$(mktemp)
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -s "$fd_file" ] && break
        sleep 0.1
    done
    if [ ! -s "$fd_file" ]; then
        rm -f "$fd_file"
        echo "scripts/$(basename "$0"): the private Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$(head -1 "$fd_file")"
    rm -f "$fd_file"
    echo "$xvfb_pid ${DISPLAY#:}" >"$state"
}

# choose_display: the caller's own DISPLAY, else the kept private one.
choose_display() {
    [ -n "${DISPLAY:-}" ] || use_kept_display
}

# follow_server_display: DISPLAY set to the one the prefix's running
# wineserver was started with; fails when none runs. For programs without
# windows, which need not restart a server that others use.
follow_server_display() {
    local display
    display=$(wine_server_display)
    [ -n "$display" ] || return 1
    export DISPLAY=$display
}

# wine_server_display: the display the prefix's running wineserver was
# started with by these scripts ($BUILD/wine-display holds the server's
# process and display); nothing when none runs or another started it.
wine_server_display() {
    local server record_pid record_display
    server=$(wine_server_pids | head -1)
    [ -n "$server" ] && [ -s "$BUILD/wine-display" ] || return 0
    read -r record_pid record_display <"$BUILD/wine-display"
    [ "$record_pid" == "$server" ] && echo "$record_display"
    return 0
}

# The processes of this prefix (found by the WINEPREFIX they were started
# with): wine_server_pids lists its wineserver, wine_program_pids every other
# Wine process except the server's own services.
wine_prefix_pids() {
    local environ p exe
    for environ in $(grep -lzxF "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null); do
        p=${environ%/environ}
        exe=$(readlink "$p/exe" 2>/dev/null) || continue
        case "$exe" in */wineserver* | */wine64* | */wine-preloader* | */wine) ;; *) continue ;; esac
        echo "${p#/proc/} $(cat "$p/comm" 2>/dev/null)"
    done
}
wine_server_pids() {
    wine_prefix_pids | awk '$2 ~ /^wineserver/ { print $1 }'
}
wine_program_pids() {
    wine_prefix_pids | awk '$2 !~ /^(wineserver.*|services\.exe|explorer\.exe|winedevice\.exe|plugplay\.exe|svchost\.exe|rpcss\.exe|conhost\.exe|wineboot\.exe|start\.exe|cmd\.exe)$/ { print $1 }'
}

# start_wine: one persistent wineserver for the prefix, on the chosen
# DISPLAY (its process and display in $BUILD/wine-display), with Wine's own service
# processes started now, so that they never hold a test program's output
# pipes open. A server left from another display is restarted while none of
# the prefix's programs runs; otherwise start_wine says what to do and fails.
start_wine() {
    # Programs run by hand get the prefix with its fonts too: a prefix that
    # Wine makes on its own has none, and GDI+ then draws no text at all.
    ensure_prefix
    if [ -n "$(wine_server_pids)" ] && [ "$(wine_server_display)" != "$DISPLAY" ]; then
        local server_display
        server_display=$(wine_server_display)
        if [ -n "$(wine_program_pids)" ]; then
            cat >&2 <<MESSAGE
scripts/$(basename "$0"): the Wine server of $WINEPREFIX runs for ${server_display:+display $server_display}${server_display:-another display}, not for DISPLAY=$DISPLAY,
and a program still runs in it. End that program (or all of them: WINEPREFIX=$WINEPREFIX wineserver -k)${server_display:+,
or run this with DISPLAY=$server_display}.
MESSAGE
            return 1
        fi
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    if [ -z "$(wine_server_pids)" ]; then
        wineserver -p >/dev/null 2>&1 </dev/null || true
        echo "$(wine_server_pids | head -1) $DISPLAY" >"$BUILD/wine-display"
        wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
    fi
    # There is no window manager: Wine's own windows are left unmanaged, else
    # hiding or destroying a shown window waits 2 s for a manager's answer.
    # Set here, once the display is chosen: a Wine process started without
    # one would leave the persistent server's desktop without a display.
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
    fi
    no_crash_dialog
}
