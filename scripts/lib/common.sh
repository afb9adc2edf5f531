# shellcheck shell=bash
# What every script needs: paths and settings, the one way to fail, bounded outside steps,
# the stop list, a virtual X display. Its variables: scripts/README.md.
# shellcheck disable=SC2034 # what is set here is read by the scripts that source it
shopt -s inherit_errexit  # a failing step inside x=$(step) stops there too

# pelmar_init [LIB...]: the paths and Wine's test settings; sources the named files of
# scripts/lib. Every entry script calls it first.
pelmar_init() {
    local lib line file
    PELMAR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    PELMAR_BUILD="${PELMAR_BUILD:-$PELMAR_ROOT/build}"
    PELMAR_NATIVE_BUILD="$PELMAR_BUILD/native"
    export PELMAR_ROOT PELMAR_BUILD
    for lib; do
        # shellcheck source=/dev/null # each file of scripts/lib is checked on its own
        source "$PELMAR_ROOT/scripts/lib/$lib.sh" || pelmar_fail "loading scripts/lib/$lib.sh" "see above"
    done
    file="$PELMAR_ROOT/tests/wine-settings.env"
    [ -r "$file" ] || pelmar_fail "reading Wine's test settings" "$file is missing"
    while IFS= read -r line; do
        case "$line" in [A-Z]*=*) printf -v "PELMAR_SETTING_${line%%=*}" '%s' "${line#*=}" ;; esac
    done <"$file"
    read -r -a PELMAR_TEST_DPIS <<<"${PELMAR_SETTING_PELMAR_TEST_DPIS:-}"
    PELMAR_STOP_PIDS=() PELMAR_STOP_PREFIXES=()
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
        124|137) pelmar_fail "$name" "it did not end within $limit s (its last words above)" ;;
        *) pelmar_fail "$name" "$1 ended with status $status (its last words above)" ;;
    esac
}

# "bookworm" and the like.
pelmar_codename() {
    # shellcheck source=/dev/null # the system's own release file
    (. /etc/os-release && echo "${VERSION_CODENAME:-unknown}") 2>/dev/null || echo unknown
}

# The trap of every script that starts something: ends the stop list's wineservers, then
# its processes; safe at any stage.
pelmar_stop() {
    local prefix pid
    for prefix in ${PELMAR_STOP_PREFIXES[@]+"${PELMAR_STOP_PREFIXES[@]}"}; do
        [ ! -d "$prefix" ] || WINEPREFIX="$prefix" timeout 30 "$(pelmar_wineserver_path)" -k >/dev/null 2>&1 || true
    done
    for pid in ${PELMAR_STOP_PIDS[@]+"${PELMAR_STOP_PIDS[@]}"}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}

# DISPLAY where given, unless PELMAR_XVFB=1; else an Xvfb that picks a free number itself
# (-displayfd) and says it once it listens, ended by the trap alone.
pelmar_start_display() {
    local said
    if [ -n "${DISPLAY:-}" ] && [ "${PELMAR_XVFB:-0}" != 1 ]; then return 0; fi
    command -v Xvfb >/dev/null || pelmar_fail "starting a virtual display" "Xvfb is not installed (Debian package: xvfb)"
    said=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$said" >"$said.log" 2>&1 </dev/null &
    PELMAR_STOP_PIDS+=("$!")
    for _ in $(seq 1 100); do
        if [ -s "$said" ] || ! kill -0 "$!" 2>/dev/null; then break; fi
        sleep 0.1
    done
    DISPLAY=":$(head -n 1 "$said")"
    [ "$DISPLAY" != : ] || tail -n 5 "$said.log" >&2
    rm -f "$said" "$said.log"
    [ "$DISPLAY" != : ] || pelmar_fail "starting the virtual display" "Xvfb gave no display within 10 s (its words above)"
    export DISPLAY
}

# The tree of the build PELMAR_RUN_ARCH: the i686 tree, or the twin's within it.
pelmar_tree() {
    if [ "${PELMAR_RUN_ARCH:-i686}" = i686 ]; then echo "$PELMAR_BUILD"; else echo "$PELMAR_BUILD/x86_64"; fi
}
