# Shared by the README's commands: installs what is missing, builds, and runs Wine on a
# private prefix under build/ with its own X display when there is none. Source it.
set -euo pipefail

PELMAR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# PELMAR_BUILD may name another build folder, so two developers can build side by side.
PELMAR_BUILD="${PELMAR_BUILD:-$PELMAR_ROOT/build}"
PELMAR_NATIVE_BUILD="$PELMAR_BUILD/native"

# Debian and Ubuntu package names; wine32:i386 is the part that runs 32-bit programs.
PELMAR_PACKAGES=(cmake make g++ googletest g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
                 binutils-mingw-w64-i686 wine wine32:i386 fonts-wine xvfb xauth imagemagick)

pelmar_missing_packages() {
    local missing=() pkg
    for pkg in "${PELMAR_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    echo "${missing[@]:-}"
}

pelmar_setup() {
    local missing
    missing=$(pelmar_missing_packages)
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
}

pelmar_build() {
    cmake -S "$PELMAR_ROOT" -B "$PELMAR_BUILD" -DCMAKE_TOOLCHAIN_FILE="$PELMAR_ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$PELMAR_BUILD" -j "$(nproc)"
}

pelmar_build_native() {
    cmake -S "$PELMAR_ROOT" -B "$PELMAR_NATIVE_BUILD" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$PELMAR_NATIVE_BUILD" -j "$(nproc)"
}

PELMAR_XVFB_PID=""

# A display of our own when none is given (or when asked for one with PELMAR_XVFB=1).
pelmar_start_display() {
    if [ -n "${DISPLAY:-}" ] && [ "${PELMAR_XVFB:-0}" != 1 ]; then
        return 0
    fi
    local n=91
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    PELMAR_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    export DISPLAY=":$n"
}

# The private prefix, made without Wine's Mono and Gecko (there may be no network), and a
# persistent wineserver so each test program does not pay for starting one. Its output is
# detached: Wine's service processes would otherwise hold ctest's pipes open.
pelmar_start_wine() {
    export WINEPREFIX="$PELMAR_BUILD/wineprefix"
    # winedbg off: a crash must end the program, not wait in a debugger.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
    export WINEDEBUG="${WINEDEBUG:--all}"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Making the Wine prefix $WINEPREFIX"
        wineboot -i >/dev/null 2>&1 </dev/null || true
        wineserver -w || true
    fi
    (wineserver -p; wine cmd /c exit) >/dev/null 2>&1 </dev/null || true
}

pelmar_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1 || true
    fi
    if [ -n "$PELMAR_XVFB_PID" ]; then
        kill "$PELMAR_XVFB_PID" >/dev/null 2>&1 || true
        wait "$PELMAR_XVFB_PID" 2>/dev/null || true
    fi
}
