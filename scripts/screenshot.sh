#!/usr/bin/env bash
# Starts Pelmar on a fresh copy of the demo game folder inside Wine's virtual desktop (which
# draws window frames) on a virtual X display, and saves what a player sees as a PNG.
# Usage: scripts/screenshot.sh [output.png]   (default docs/screenshot.png)
# PELMAR_DEMO_DPI=144 pictures a screen of that scale; PELMAR_DEMO_WINE=<name> takes that
# Wine of scripts/wines.txt (from its root, where it is not this system's). For example
#   PELMAR_DEMO_DPI=144 PELMAR_DEMO_WINE=wine10 bash scripts/screenshot.sh docs/screenshot-144.png
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/env.sh
source "$here/lib/env.sh"
pelmar_init arch packages build display wine demo root
dpi="${PELMAR_DEMO_DPI:-96}"
size="$((560 * dpi / 96))x$((340 * dpi / 96))"
pelmar_stop_lists
trap pelmar_stop EXIT

if [ "${PELMAR_IN_ROOT:-0}" = 1 ]; then
    # Inside the Wine's root: show Pelmar in the folder given, then wait for the picture.
    pelmar_use_arch
    prefix=$(pelmar_desktop_prefix)
    pelmar_start_desktop_wine "$prefix" "$size"
    pelmar_start_launcher "$1/System" "$prefix"
    touch "$1/shown"
    for _ in $(seq 1 600); do [ ! -e "$1/taken" ] || exit 0; sleep 0.2; done
    pelmar_fail "waiting for the screenshot" "none was taken in 120 s"
fi

out="${1:-$PELMAR_ROOT/docs/screenshot.png}"
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
pelmar_choose_arch
root=""
if [ -n "${PELMAR_DEMO_WINE:-}" ]; then
    plan=$(PELMAR_WINES="$PELMAR_DEMO_WINE" pelmar_wines_plan)
    read -r _ arch _ why <<<"$plan"
    [ "$arch" != - ] || pelmar_fail "choosing the Wine $PELMAR_DEMO_WINE" "$why"
    root=$(pelmar_wine_root "$PELMAR_DEMO_WINE")
    PELMAR_ARCH=$arch
fi
PELMAR_ROOTS=${root:+1} pelmar_setup
pelmar_use_arch
pelmar_build_arch
wine_name=${PELMAR_DEMO_WINE:-"this system's Wine"}
echo "Picturing the $PELMAR_ARCH build at $dpi DPI under $wine_name."

# In the build folder: a root sees it, not this system's /tmp.
demo=$(mktemp -d "$PELMAR_BUILD/shot.XXXXXX")
trap 'pelmar_stop; rm -rf "$demo"' EXIT
cp -r "$PELMAR_ARCH_BUILD/demo/." "$demo/"
rm -f "$demo/System/Pelmar.ini"
cp "$PELMAR_ROOT/demo/System/Unreal.ini" "$demo/System/Unreal.ini"
PELMAR_XVFB=1 pelmar_start_display
if [ -n "$root" ]; then
    # Pelmar runs under the root's Wine; the picture is taken here, where ImageMagick is.
    pelmar_in_root "$root" bash "$here/screenshot.sh" "$demo" &
    inner=$!
    PELMAR_STOP_PIDS+=("$inner")
    for _ in $(seq 1 600); do
        if [ -e "$demo/shown" ] || ! kill -0 "$inner" 2>/dev/null; then break; fi
        sleep 0.2
    done
    [ -e "$demo/shown" ] || pelmar_fail "starting Pelmar under $PELMAR_DEMO_WINE" "its window never appeared"
    pelmar_take_shot "$out" "$size+0+0"
    touch "$demo/taken"
else
    prefix=$(pelmar_desktop_prefix)
    pelmar_start_desktop_wine "$prefix" "$size"
    pelmar_start_launcher "$demo/System" "$prefix"
    pelmar_take_shot "$out" "$size+0+0"
fi
echo "Saved $out"
