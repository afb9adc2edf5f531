# shellcheck shell=bash
# Where things are: the checkout, the build folders, and Wine's test settings (from
# tests/wine-settings.env, which tests/CMakeLists.txt reads too). Needs nothing.
# shellcheck disable=SC2034 # what is set here is read by the scripts that source it

# Sets PELMAR_ROOT (the checkout), PELMAR_BUILD (the i686 tree, which always holds the
# players' Pelmar.exe; the developer may name another) and PELMAR_NATIVE_BUILD, reads the
# Wine settings, and sources the named files of scripts/lib. Every entry script calls it
# first: pelmar_init arch build ...
pelmar_init() {
    local lib
    for lib; do
        # shellcheck source=/dev/null # each file of scripts/lib is checked on its own
        source "$(dirname "${BASH_SOURCE[0]}")/$lib.sh" || pelmar_fail "loading scripts/lib/$lib.sh" "see above"
    done
    PELMAR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    PELMAR_BUILD="${PELMAR_BUILD:-$PELMAR_ROOT/build}"
    PELMAR_NATIVE_BUILD="$PELMAR_BUILD/native"
    export PELMAR_ROOT PELMAR_BUILD
    pelmar_read_wine_settings
}

# PELMAR_SETTING_<KEY> for each KEY=value line, and PELMAR_TEST_DPIS as a list.
pelmar_read_wine_settings() {
    local line file="$PELMAR_ROOT/tests/wine-settings.env"
    [ -r "$file" ] || pelmar_fail "reading Wine's test settings" "$file is missing"
    while IFS= read -r line; do
        case "$line" in [A-Z]*=*) printf -v "PELMAR_SETTING_${line%%=*}" '%s' "${line#*=}" ;; esac
    done <"$file"
    read -r -a PELMAR_TEST_DPIS <<<"${PELMAR_SETTING_PELMAR_TEST_DPIS:-}"
}

# Ends the script, naming the step that failed and why, with PELMAR_FAIL_STATUS (1). Works
# inside conditions too; inside $(...) it ends only that subshell, whose status the caller sees.
pelmar_fail() {
    echo "FAILED: $1: $2" >&2
    exit "${PELMAR_FAIL_STATUS:-1}"
}

# The Debian release of this system (or of the root it runs in): "bookworm", "trixie" ...
pelmar_codename() {
    local codename
    # shellcheck source=/dev/null # the system's own release file
    codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
    echo "${codename:-unknown}"
}

# "Debian 12" and the like, for the closing lines.
pelmar_release_name() {
    # shellcheck source=/dev/null # the system's own release file
    # Debian testing and unstable have no VERSION_ID: "Debian forky/sid".
    (. /etc/os-release 2>/dev/null && echo "${NAME%% *} ${VERSION_ID:-$(cat /etc/debian_version 2>/dev/null)}") ||
        echo "this system"
}
