# shellcheck shell=bash
# What every script needs: paths, settings and time limits, the one way to fail, bounded and
# retried outside steps, the release, the stop list, a virtual X display. scripts/README.md
# lists its variables.
# shellcheck disable=SC2034 # what is set here is read by the scripts that source it
shopt -s inherit_errexit # a failing step inside x=$(step) stops there too

# pelmar_init [LIB...]: the paths, Wine's test settings (PELMAR_SETTING_<KEY>) and the time
# limits (PELMAR_LIMIT_<KEY>); sources the named files of scripts/lib. Every entry script
# calls it first.
pelmar_init() {
    local lib
    PELMAR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    PELMAR_BUILD="${PELMAR_BUILD:-$PELMAR_ROOT/build}"
    PELMAR_NATIVE_BUILD="$PELMAR_BUILD/native"
    export PELMAR_ROOT PELMAR_BUILD
    for lib; do
        # shellcheck source=/dev/null # each file of scripts/lib is checked on its own
        source "$PELMAR_ROOT/scripts/lib/$lib.sh" ||
            pelmar_fail "loading scripts/lib/$lib.sh" "see above"
    done
    pelmar_read_env PELMAR_SETTING_ "$PELMAR_ROOT/tests/wine-settings.env"
    pelmar_read_env PELMAR_LIMIT_ "$PELMAR_ROOT/tests/time-limits.env"
    PELMAR_LIMIT_WINE_STEP="${PELMAR_WINE_TIMEOUT:-$PELMAR_LIMIT_WINE_STEP}"
    read -r -a PELMAR_TEST_DPIS <<<"${PELMAR_SETTING_PELMAR_TEST_DPIS:-}"
    PELMAR_STOP_PIDS=()
    PELMAR_STOP_PREFIXES=()
}

# pelmar_read_env PREFIX FILE: each KEY=value line of FILE as the variable PREFIXKEY.
pelmar_read_env() {
    local line
    [ -r "$2" ] || pelmar_fail "reading $2" "it is missing"
    while IFS= read -r line; do
        case "$line" in [A-Z]*=*) printf -v "$1${line%%=*}" '%s' "${line#*=}" ;; esac
    done <"$2"
}

# Ends the script (inside $(...) the subshell, which stops the caller), naming the step and why.
pelmar_fail() {
    echo "FAILED: $1: $2" >&2
    exit 1
}

# pelmar_step NAME SECONDS COMMAND...: an outside step with a bound; the end of its words
# is shown when it fails or runs out of time (PELMAR_VERBOSE=1: always).
pelmar_step() {
    local name="$1" limit="$2" log status=0
    shift 2
    log=$(mktemp)
    echo "-- $name" >&2
    timeout -k 10 "$limit" "$@" >"$log" 2>&1 </dev/null || status=$?
    if [ "$status" != 0 ] || [ "${PELMAR_VERBOSE:-0}" = 1 ]; then tail -n 40 "$log" >&2; fi
    rm -f "$log"
    case "$status" in
        0) ;;
        124 | 137) pelmar_fail "$name" "it did not end within $limit s (its last words above)" ;;
        *) pelmar_fail "$name" "$1 ended with status $status (its last words above)" ;;
    esac
}

# pelmar_retry TRIES NAME SECONDS COMMAND...: up to TRIES bounded tries, PELMAR_APT_PAUSE s
# apart, each with its number in PELMAR_TRY. Status 1, with the last try's words, when every
# try failed: the caller says whether that stops it.
pelmar_retry() {
    local tries="$1" name="$2" limit="$3" try log status
    shift 3
    log=$(mktemp)
    echo "-- $name" >&2
    for try in $(seq "$tries"); do
        status=0
        PELMAR_TRY="$try" timeout -k 10 "$limit" "$@" >"$log" 2>&1 </dev/null || status=$?
        [ "${PELMAR_VERBOSE:-0}" != 1 ] || cat "$log" >&2
        if [ "$status" = 0 ]; then
            rm -f "$log"
            return 0
        fi
        echo "$name: try $try of $tries ended with status $status (124: after $limit s)" >&2
        [ "$try" = "$tries" ] || sleep "${PELMAR_APT_PAUSE:-5}"
    done
    tail -n 40 "$log" >&2
    rm -f "$log"
    return 1
}

# pelmar_os_release KEY: its value in /etc/os-release ("bookworm" for VERSION_CODENAME), or
# nothing.
pelmar_os_release() {
    # shellcheck source=/dev/null # the system's own release file
    (. /etc/os-release && printf '%s\n' "${!1:-}") 2>/dev/null || true
}

# The trap of every script that starts something: ends the stop list's wineservers, then
# its processes; safe at any stage.
pelmar_stop() {
    local prefix pid server
    for prefix in ${PELMAR_STOP_PREFIXES[@]+"${PELMAR_STOP_PREFIXES[@]}"}; do
        [ -d "$prefix" ] || continue
        server=$(pelmar_wineserver_path 2>/dev/null) || continue
        WINEPREFIX="$prefix" timeout "$PELMAR_LIMIT_WINESERVER_STOP" "$server" -k \
            >/dev/null 2>&1 || true
    done
    for pid in ${PELMAR_STOP_PIDS[@]+"${PELMAR_STOP_PIDS[@]}"}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}

# DISPLAY where given, unless PELMAR_XVFB=1; else the Xvfb of scripts/display.py, which
# lives until the trap ends it.
pelmar_start_display() {
    local said
    if [ -n "${DISPLAY:-}" ] && [ "${PELMAR_XVFB:-0}" != 1 ]; then return 0; fi
    exec {said}< <(exec python3 "$PELMAR_ROOT/scripts/display.py")
    PELMAR_STOP_PIDS+=("$!")
    read -r DISPLAY <&"$said" ||
        pelmar_fail "starting the virtual display" "scripts/display.py gave none (see above)"
    export DISPLAY
}

# The tree of the build PELMAR_RUN_ARCH: the i686 tree, or the twin's within it.
pelmar_tree() {
    if [ "${PELMAR_RUN_ARCH:-i686}" = i686 ]; then
        echo "$PELMAR_BUILD"
    else
        echo "$PELMAR_BUILD/x86_64"
    fi
}
