# Shared Wine set-up for the runner, the test command and the run command. Source it, then call the functions.

wine_env() { # prefix
    export WINEPREFIX=$1
    export WINEARCH=win64
    # A bare -all hides a missing DLL: the program would just exit 53.
    export WINEDEBUG=${WINEDEBUG:--all,err+module}
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Creates the prefix once (about 6 s). A crash must fail at once instead of waiting in Wine's debugger, so the
# AeDebug debugger is emptied; ShowCrashDialog=0 would instead make a crash exit 0.
wine_prepare_prefix() {
    [ -f "$WINEPREFIX/.dravik-ready" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        [ -f "$WINEPREFIX/.dravik-ready" ] && exit 0
        wineboot -i </dev/null >/dev/null 2>&1
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
            </dev/null >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.dravik-ready"
    ) 9>"$WINEPREFIX.lock"
    [ -f "$WINEPREFIX/.dravik-ready" ] || { echo "wine: could not create the prefix $WINEPREFIX" >&2; return 1; }
}

# Wine's background services inherit the output pipes of the process that starts them, which makes a test under
# ctest cost seconds or hang. Starting them first, with their output sent away, avoids that.
wine_start_services() {
    wineserver -p >/dev/null 2>&1 || true # already running: fine
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_start_xvfb() {
    local fd_file
    fd_file=$(mktemp)
    Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$fd_file" 2>/dev/null &
    WINE_XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.1
    done
    local number
    number=$(head -n1 "$fd_file")
    rm -f "$fd_file"
    [ -n "$number" ] || { echo "wine: Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$number"
}

wine_stop_xvfb() {
    [ -n "${WINE_XVFB_PID:-}" ] && kill "$WINE_XVFB_PID" 2>/dev/null
    WINE_XVFB_PID=""
}

# A whole Wine session for a script: the prefix, an Xvfb display when DISPLAY is unset, the services.
# wine_session_end stops what wine_session_begin started.
wine_session_begin() {
    wine_prepare_prefix || return 1
    WINE_SESSION_XVFB=""
    if [ -z "${DISPLAY:-}" ]; then
        wine_start_xvfb || return 1
        WINE_SESSION_XVFB=1
    fi
    wine_start_services
}

wine_session_end() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "${WINE_SESSION_XVFB:-}" ] || wine_stop_xvfb
}
