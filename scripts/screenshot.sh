#!/usr/bin/env bash
# Starts Pelmar on a fresh copy of the demo game folder inside Wine's virtual desktop (which
# draws window frames) on a virtual X display, and saves what a player sees as a PNG.
# Usage: scripts/screenshot.sh [output.png]   (default docs/screenshot.png)
# PELMAR_DEMO_DPI=144 pictures a screen of that scale; PELMAR_DEMO_WINE=other takes the other
# Debian release's Wine, from the test command's root. docs/screenshot-144.png is
#   PELMAR_DEMO_DPI=144 PELMAR_DEMO_WINE=other bash scripts/screenshot.sh docs/screenshot-144.png
# (made on Debian 12, so under Wine 10).
source "$(dirname "$0")/common.sh"
out="${1:-$PELMAR_ROOT/docs/screenshot.png}"
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
dpi="${PELMAR_DEMO_DPI:-96}"
size="$((560 * dpi / 96))x$((340 * dpi / 96))"
[ "${PELMAR_DEMO_WINE:-}" = other ] && export PELMAR_OTHER_WINE=1
export PELMAR_BUILD

pelmar_choose_arch
pelmar_setup
pelmar_build
pelmar_build_arch
echo "Picturing the $PELMAR_ARCH build at $dpi DPI: $PELMAR_ARCH_REASON."

# In the build folder: the other Wine's root sees it, not this system's /tmp.
demo=$(mktemp -d "$PELMAR_BUILD/shot.XXXXXX")
inner=""
trap 'pelmar_stop; [ -z "$inner" ] || kill "$inner" 2>/dev/null; rm -rf "$demo"' EXIT
cp -r "$PELMAR_ARCH_BUILD/demo/." "$demo/"
rm -f "$demo/System/Pelmar.ini"
cp "$PELMAR_ROOT/demo/System/Unreal.ini" "$demo/System/Unreal.ini"

PELMAR_XVFB=1 pelmar_start_display
if [ "${PELMAR_DEMO_WINE:-}" = other ]; then
    pelmar_make_other_root
    # Pelmar runs under the root's Wine; the picture is taken here, where ImageMagick is.
    pelmar_in_other_root bash -c "source scripts/common.sh; pelmar_use_arch; trap pelmar_stop EXIT
        pelmar_start_desktop_wine $size && pelmar_start_launcher '$demo/System' && touch '$demo/shown' && sleep 120" &
    inner=$!
    for _ in $(seq 1 600); do
        [ -e "$demo/shown" ] || ! kill -0 "$inner" 2>/dev/null && break
        sleep 0.2
    done
    [ -e "$demo/shown" ] || { echo "Pelmar's window never appeared under the other Wine." >&2; exit 1; }
    pelmar_take_shot "$out" "$size+0+0"
else
    pelmar_start_desktop_wine "$size"
    pelmar_show_launcher "$demo/System" "$out" "$size+0+0"
fi
echo "Saved $out"
