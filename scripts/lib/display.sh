# shellcheck shell=bash
# The X display the Windows programs draw on, and the ending of everything a script started
# (displays, and the wineservers of its prefixes). Needs env.sh.

# The stop lists; an entry script calls it before it starts anything, and sets its trap.
pelmar_stop_lists() {
    PELMAR_STOP_PIDS=()
    PELMAR_STOP_PREFIXES=()
}

# Uses DISPLAY where one is given, unless PELMAR_XVFB=1 asks for a display of our own (the
# tests do, so a developer's desktop is left alone). Our own is a virtual one (Xvfb), on the
# first free number from 91: Xvfb's lock file settles a race with another run. Stops the
# script, naming the display, when it does not come up.
pelmar_start_display() {
    local n=91 pid log status i
    if [ -n "${DISPLAY:-}" ] && [ "${PELMAR_XVFB:-0}" != 1 ]; then
        return 0
    fi
    command -v Xvfb >/dev/null || pelmar_fail "starting a virtual display" "Xvfb is not installed (Debian package: xvfb)"
    log=$(mktemp)
    for _ in $(seq 1 30); do
        # An X server in another mount namespace (a root) leaves no files in this /tmp, but
        # its abstract socket is shared: skip it. Ours listens on none.
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] ||
              grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null; do
            n=$((n + 1))
        done
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -nolisten local >"$log" 2>&1 </dev/null &
        pid=$!
        PELMAR_STOP_PIDS+=("$pid")
        for i in $(seq 1 100); do
            if [ -S "/tmp/.X11-unix/X$n" ] && kill -0 "$pid" 2>/dev/null; then
                rm -f "$log"
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        status=0
        kill -0 "$pid" 2>/dev/null && kill "$pid"
        wait "$pid" 2>/dev/null || status=$?
        # Another run took this number between our look and Xvfb's start: the next one.
        grep -q "already active" "$log" || break
        n=$((n + 1))
    done
    cat "$log" >&2
    rm -f "$log"
    if [ "${i:-0}" -ge 100 ]; then
        pelmar_fail "starting the virtual display :$n" "Xvfb gave no socket within 10 s"
    fi
    pelmar_fail "starting the virtual display :$n" "Xvfb ended at once (status $status; its words above)"
}

# Ends the wineserver of every prefix in the stop list, then every display; safe at any
# stage, and says what it could not end.
pelmar_stop() {
    local prefix pid
    for prefix in ${PELMAR_STOP_PREFIXES[@]+"${PELMAR_STOP_PREFIXES[@]}"}; do
        [ -d "$prefix" ] || continue
        WINEPREFIX="$prefix" "$PELMAR_WINESERVER" -k >/dev/null 2>&1 || true
    done
    for pid in ${PELMAR_STOP_PIDS[@]+"${PELMAR_STOP_PIDS[@]}"}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
