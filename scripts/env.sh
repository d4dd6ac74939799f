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
# for a person (and a test until its time-out). Called once the display and
# the server are up (start_wine).
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

# ensure_prefix: a private Wine prefix, made once, with the fonts GDI+ needs.
ensure_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    local f
    for f in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf \
             /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf \
             /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf; do
        [ -f "$f" ] && [ ! -f "$fonts/$(basename "$f")" ] && cp "$f" "$fonts/"
    done
    return 0
}

# start_display: a private Xvfb for windows, unless one is given.
start_display() {
    [ -n "${DISPLAY:-}" ] && return
    local fd_file
    fd_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 50); do
        [ -s "$fd_file" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -1 "$fd_file")"
    rm -f "$fd_file"
}

stop_display() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}

# start_wine: one persistent wineserver, with Wine's own service processes
# started now, so that they never hold a test program's output pipes open.
start_wine() {
    # Programs run by hand get the prefix with its fonts too: a prefix that
    # Wine makes on its own has none, and GDI+ then draws no text at all.
    ensure_prefix
    # A server already running for this prefix (another run's) is used as it is.
    wineserver -p >/dev/null 2>&1 </dev/null || true
    wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
    # There is no window manager: Wine's own windows are left unmanaged, else
    # hiding or destroying a shown window waits 2 s for a manager's answer.
    # Set here, once the display is chosen: a Wine process started without
    # one would leave the persistent server's desktop without a display.
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
    fi
}
