#!/usr/bin/env bash
# The one script that runs where a Wine is (this system, or a root), in the tree of the
# build PELMAR_ARCH. suite: the Windows tests in the prefixes wineprefix-NAME*, leaving
# ctest-NAME.xml (or PELMAR_JUNIT) and .about; show: Pelmar in FOLDER (in a virtual desktop
# of SIZE), saying "shown" once its window is up, until it ends or our input closes.
#   in-wine.sh suite NAME [CTEST ARGS] | show PREFIX FOLDER [SIZE]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init wine
trap pelmar_stop EXIT
PELMAR_RUN_ARCH="${PELMAR_ARCH:-i686}"
tree=$(pelmar_tree)
suite() {
    local name="$1" version where release
    # "Debian 12"; Debian testing and unstable have no VERSION_ID: "Debian forky/sid".
    release=$(pelmar_os_release VERSION_ID)
    where=$(pelmar_os_release NAME)
    where="${where%% *} ${release:-$(cat /etc/debian_version)}"
    version=$(pelmar_wine_version)
    if [ "${PELMAR_IN_ROOT:-0}" = 1 ]; then where="in a $where root"; else where="on $where"; fi
    echo "$version $where" >"$tree/ctest-$name.about"
    echo "== Windows tests ($PELMAR_RUN_ARCH) under $version $where, on display ${DISPLAY:-none}"
    pelmar_start_test_wines "$tree/wineprefix-$name"
    export WINEPREFIX="$tree/wineprefix-$name"
    export WINEDEBUG="${PELMAR_WINEDEBUG:-$PELMAR_SETTING_WINEDEBUG}"
    ctest --test-dir "$tree" --output-on-failure --no-tests=error \
        --timeout "$PELMAR_LIMIT_WINDOWS_TEST" \
        --output-junit "${PELMAR_JUNIT:-$tree/ctest-$name.xml}" "${@:2}"
}

show() {
    local prefix="$1" pelmar status
    pelmar_make_prefix "$prefix"
    if [ -n "${3:-}" ]; then
        # It draws frames (there is no window manager); its scale is saved before it starts.
        pelmar_reg_add "$prefix" 'HKCU\Software\Wine\Explorer' /v Desktop /d Pelmar
        pelmar_reg_add "$prefix" 'HKCU\Software\Wine\Explorer\Desktops' /v Pelmar /d "$3"
        pelmar_reg_add "$prefix" 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
            /d "${PELMAR_DEMO_DPI:-96}"
        pelmar_wine_step "saving the desktop's settings" -s "$prefix" -w
    fi
    pelmar_boot_wineserver "$prefix"
    (cd "$2" && pelmar_wine "$prefix" Pelmar.exe) >/dev/null 2>&1 </dev/null &
    pelmar=$!
    PELMAR_STOP_PIDS+=("$pelmar")
    pelmar_wine_step "waiting for Pelmar's window ($PELMAR_RUN_ARCH build, in $2)" "$prefix" \
        "$tree/wait_window.exe" Pelmar "$((PELMAR_LIMIT_WINDOW * 1000))"
    echo shown
    while kill -0 "$pelmar" 2>/dev/null; do
        status=0
        read -r -t 1 _ || status=$?
        [ "$status" -gt 128 ] || break
    done
}

case "${1:-}" in
    suite | show) "$@" ;;
    *)
        sed -n '6s/^# *//p' "$0" >&2
        exit 2
        ;;
esac
