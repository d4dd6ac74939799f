# Sourced by the project's scripts: where the build, the Wine prefix and the
# simulated device's state live, and Wine's settings for every run.
# The scripts run often (the end-to-end tests start scripts/run and scripts/sim
# a hundred times), and on a busy machine every process they start costs tens
# of milliseconds: their common path starts as few as it can.
case ${BASH_SOURCE[0]} in
    */*) REPO=$(cd "${BASH_SOURCE[0]%/*}/.." && pwd) ;;
    *) REPO=$(cd .. && pwd) ;;
esac
BUILD="${KX_BUILD:-$REPO/build}"
# An absolute path: Wine's prefix and the program's Z: path derive from it.
if [[ $BUILD != /* ]]; then
    BUILD=$(cd "$BUILD" 2>/dev/null && pwd || echo "$PWD/$BUILD")
fi
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
# the display and the server are up, whenever it sets a server up.
no_crash_dialog() {
    if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null || true
    fi
}
export LANG=en_US.UTF-8
export LC_ALL=en_US.UTF-8

# Whether the build is up to date. ninja's own check of a built tree takes
# half a second and more (CMake lists again every source folder the build
# globs, and the copies of the simulated winmm.dll run every time), which is
# more than the program's own start. So every build that succeeds leaves a
# stamp taken just before it began ($BUILD/built-all for the whole tree,
# $BUILD/built-NAME for a script's targets), and while nothing in the
# repository (outside build folders and .git) nor the build's configuration
# has changed since the newest stamp, the build is current: a file edited,
# added, removed or renamed since changes its own or its folder's status time.
# What lies outside the repository (the toolchain, the cross-built
# dependencies) is not looked at: after a change there, build with
# scripts/test or cmake --build.

# build_is_current NAME: whether a whole build, or one of NAME's targets,
# succeeded after the last change.
build_is_current() {
    local stamp="$BUILD/built-all" changed
    [ "$BUILD/built-$1" -nt "$stamp" ] && stamp="$BUILD/built-$1"
    [ -f "$stamp" ] && [ -f "$BUILD/CMakeCache.txt" ] || return 1
    changed=$(find "$REPO" "$BUILD/CMakeCache.txt" \
        \( -path "$REPO/.git" -o -path "$REPO/build" -o -path "$REPO/build-*" -o -path "$BUILD" \) -prune \
        -o -cnewer "$stamp" -print -quit 2>/dev/null) || return 1
    [ -z "$changed" ]
}

# build_stamped NAME COMMAND...: runs the build COMMAND and, when it succeeds,
# leaves NAME's stamp, taken before it began (a file changed while it ran
# counts as a change after it).
build_stamped() {
    local stamp="$BUILD/built-$1"
    shift
    rm -f "$stamp.new" && touch "$stamp.new" || return 1
    "$@" || return 1
    mv -f "$stamp.new" "$stamp"
}

# build_targets NAME TARGET...: the targets brought up to date (quickly when
# the build is current); standard output is dropped, errors are shown.
build_targets() {
    local name=$1
    shift
    build_is_current "$name" && return 0
    build_stamped "$name" cmake --build "$BUILD" --target "$@" >/dev/null
}

# configure_and_build: configures the tree once and builds everything.
configure_and_build() {
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    if [ ! -f "$BUILD/build.ninja" ]; then
        cmake -S "$REPO" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/toolchain-mingw64.cmake" "${launcher[@]}" >/dev/null
    fi
    build_stamped all cmake --build "$BUILD" -- -k 0
}

# ensure_prefix: a private Wine prefix, made once, with the fonts GDI+ and
# Wine's window captions need. (Once made, it only looks at files.)
ensure_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    local f
    # Marlett draws the caption's minimise, maximise and close buttons.
    for f in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf \
             /usr/share/wine/fonts/marlett.ttf \
             /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf \
             /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf; do
        [ -f "$f" ] && [ ! -f "$fonts/${f##*/}" ] || continue
        mkdir -p "$fonts" && cp "$f" "$fonts/"
    done
    return 0
}

# The display of every Wine process of the prefix. The prefix's wineserver
# and its desktop take the display of the Wine process that starts them, and
# in a server session without a usable display no window can be made; so the
# scripts choose the display before any Wine process starts, and restart a
# server that was started for another one (start_wine).

# process_is PID NAME: whether process PID runs a program called NAME (its
# command name, a glob pattern), read from /proc without starting a process.
process_is() {
    local comm
    [[ $1 =~ ^[0-9]+$ ]] && read -r comm 2>/dev/null <"/proc/$1/comm" && [[ $comm == $2 ]]
}

# use_kept_display: DISPLAY set to a private Xvfb that is started once and
# kept for later runs (its process and number in $BUILD/run-display).
use_kept_display() {
    local state="$BUILD/run-display" xvfb_pid number
    if [ -f "$state" ] && read -r xvfb_pid number <"$state" && [ -n "$number" ] && process_is "$xvfb_pid" Xvfb; then
        export DISPLAY=":$number"
        return 0
    fi
    mkdir -p "$BUILD"
    local fd_file
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

# The wineserver that start_wine started is recorded in $BUILD/wine-display:
# its process, its display, and "ready" once its service processes run and
# the prefix's settings are made. read_server_record reads it and checks that
# this process is still the prefix's wineserver (its command name, and the
# WINEPREFIX in its environment), without starting a process: the quick path
# of every script. It sets SERVER_PID, SERVER_DISPLAY and SERVER_READY, and
# fails (leaving them empty) when that server no longer runs.
read_server_record() {
    SERVER_PID="" SERVER_DISPLAY="" SERVER_READY=""
    local pid display ready entry
    [ -s "$BUILD/wine-display" ] && read -r pid display ready <"$BUILD/wine-display" || return 1
    process_is "$pid" 'wineserver*' || return 1
    while IFS= read -r -d '' entry; do
        if [ "$entry" == "WINEPREFIX=$WINEPREFIX" ]; then
            SERVER_PID=$pid SERVER_DISPLAY=$display SERVER_READY=$ready
            return 0
        fi
    done 2>/dev/null <"/proc/$pid/environ"
    return 1
}

# follow_server_display: DISPLAY set to the one the prefix's running
# wineserver was started with; fails when none runs. For programs without
# windows, which need not restart a server that others use.
follow_server_display() {
    read_server_record && [ -n "$SERVER_DISPLAY" ] || return 1
    export DISPLAY=$SERVER_DISPLAY
}

# wine_server_display: the display the prefix's running wineserver was
# started with by these scripts; nothing when none runs or another started it.
wine_server_display() {
    read_server_record && echo "$SERVER_DISPLAY"
    return 0
}

# The processes of this prefix (found by the WINEPREFIX they were started
# with): wine_server_pids lists its wineserver, wine_program_pids every other
# Wine process except the server's own services. Each reads the environment
# of every process on the machine (a second and more on a busy one): start_wine
# asks only when the recorded server is not the one to use as it is.
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
# DISPLAY (recorded in $BUILD/wine-display), with Wine's own service
# processes started now, so that they never hold a test program's output
# pipes open. A server left from another display is restarted while none of
# the prefix's programs runs; otherwise start_wine says what to do and fails.
# With the recorded server ready for this DISPLAY it only looks at files.
start_wine() {
    # Programs run by hand get the prefix with its fonts too: a prefix that
    # Wine makes on its own has none, and GDI+ then draws no text at all.
    ensure_prefix
    if read_server_record && [ "$SERVER_DISPLAY" == "$DISPLAY" ] && [ "$SERVER_READY" == ready ]; then
        return 0
    fi
    if [ -n "$(wine_server_pids)" ] && [ "$(wine_server_display)" != "$DISPLAY" ]; then
        local server_display where
        server_display=$(wine_server_display)
        where=${server_display:+display $server_display}
        if [ -n "$(wine_program_pids)" ]; then
            cat >&2 <<MESSAGE
scripts/$(basename "$0"): the Wine server of $WINEPREFIX runs for ${where:-another display}, not for DISPLAY=$DISPLAY,
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
    # Later runs take the quick path.
    if read_server_record && [ "$SERVER_DISPLAY" == "$DISPLAY" ]; then
        echo "$SERVER_PID $SERVER_DISPLAY ready" >"$BUILD/wine-display"
    fi
}
