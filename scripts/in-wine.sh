#!/usr/bin/env bash
# The one script that runs where a Wine is: on this system, or in a Wine's root as
# scripts/roots.py enters it. PELMAR_ARCH names the build and so the tree (build/ or
# build/x86_64/). Installs and builds nothing.
#   in-wine.sh suite NAME [CTEST ARGS]    the Windows tests in the tree's prefixes
#       wineprefix-NAME*; leaves ctest-NAME.xml (JUnit; PELMAR_JUNIT names another) and
#       ctest-NAME.about (which Wine, where) in the tree
#   in-wine.sh show PREFIX FOLDER [SIZE]  Pelmar.exe started in FOLDER, in Wine's virtual
#       desktop of SIZE at PELMAR_DEMO_DPI where given; says "shown" once its window is up,
#       then waits until Pelmar ends or this script's input closes
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init wine
trap pelmar_stop EXIT
PELMAR_RUN_ARCH="${PELMAR_ARCH:-i686}"
tree=$(pelmar_tree)

suite() {
    local name="$1" version where
    where="on $(pelmar_release_name)"
    version=$(timeout 60 "$(pelmar_wine_path)" --version 2>/dev/null </dev/null) ||
        pelmar_fail "asking Wine its version" "$(pelmar_wine_path) --version failed"
    [ "${PELMAR_IN_ROOT:-0}" != 1 ] || where="in a $(pelmar_release_name) root"
    echo "$version $where" >"$tree/ctest-$name.about"
    echo "== Windows tests ($PELMAR_RUN_ARCH) under $version $where, on display ${DISPLAY:-none}"
    pelmar_start_test_wines "$tree/wineprefix-$name"
    export WINEPREFIX="$tree/wineprefix-$name" WINEDEBUG="${PELMAR_WINEDEBUG:-$PELMAR_SETTING_WINEDEBUG}"
    ctest --test-dir "$tree" --output-on-failure --no-tests=error --timeout 300 \
        --output-junit "${PELMAR_JUNIT:-$tree/ctest-$name.xml}" "${@:2}"
}

show() {
    local prefix="$1" pelmar status
    pelmar_make_prefix "$prefix"
    if [ -n "${3:-}" ]; then
        # The desktop draws frames (a virtual display has no window manager); the scale is
        # read once per program, the desktop's own included: saved before it starts.
        pelmar_reg_add "$prefix" 'HKCU\Software\Wine\Explorer' /v Desktop /d Pelmar
        pelmar_reg_add "$prefix" 'HKCU\Software\Wine\Explorer\Desktops' /v Pelmar /d "$3"
        pelmar_reg_add "$prefix" 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${PELMAR_DEMO_DPI:-96}"
        pelmar_wine_step "saving the desktop's settings" -s "$prefix" -w
    fi
    pelmar_boot_wineserver "$prefix"
    (cd "$2" && pelmar_wine "$prefix" Pelmar.exe) >/dev/null 2>&1 </dev/null &
    pelmar=$!
    PELMAR_STOP_PIDS+=("$pelmar")
    pelmar_wine_step "waiting for Pelmar's window ($PELMAR_RUN_ARCH build, in $2)" "$prefix" "$tree/wait_window.exe" Pelmar 30000
    echo shown
    while kill -0 "$pelmar" 2>/dev/null; do
        status=0
        read -r -t 1 _ || status=$?
        [ "$status" -gt 128 ] || break
    done
}

case "${1:-}" in
    suite|show) "$@" ;;
    *) sed -n '5,11s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
esac
