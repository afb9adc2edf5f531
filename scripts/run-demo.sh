#!/usr/bin/env bash
# Sets up a fresh Debian 12 or 13 machine, builds, and starts Pelmar in the demo game folder
# under this system's Wine; with no display on a virtual one, saving build/demo-screenshot.png,
# and failing when its window never appeared. With OUT.png: a picture of Pelmar on a fresh
# demo folder in a desktop of its size, at PELMAR_DEMO_DPI, under PELMAR_DEMO_WINE.
#   bash scripts/run-demo.sh [OUT.png]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build
trap pelmar_stop EXIT
show=(bash "$here/in-wine.sh" show)
if [ -n "${PELMAR_DEMO_WINE:-}" ]; then
    # Its build comes from the plan, and it runs where it lives.
    pelmar_setup demo roots
    PELMAR_WINES="$PELMAR_DEMO_WINE" pelmar_plan --demo
    pelmar_setup compilers
    show=(python3 "$here/roots.py" "$PELMAR_DEMO_WINE" -- "${show[@]}")
else
    # Only what the demo shows: its build's compiler and this system's Wine, no test tools.
    pelmar_setup demo
    pelmar_plan --own --demo
    pelmar_setup compilers wine
fi
PELMAR_DEMO=1 pelmar_build
tree=$(pelmar_tree)
demo="$tree/demo"
name=${PELMAR_DEMO_WINE:-$(pelmar_os_release VERSION_CODENAME)}
echo "The demo shows the $PELMAR_RUN_ARCH build ($demo/System/Pelmar.exe): $PELMAR_ARCH_REASON."
export PELMAR_ARCH="$PELMAR_RUN_ARCH"
if [ $# = 0 ] && [ -n "${DISPLAY:-}" ] && [ "${PELMAR_XVFB:-0}" != 1 ]; then
    # Plain windows on the player's desktop, until Pelmar is closed.
    exec "${show[@]}" "$tree/wineprefix-demo-$name" "$demo/System" >/dev/null
fi
out=$(realpath -m "${1:-$PELMAR_BUILD/demo-screenshot.png}")
size=1024x768
crop=""
said=""
if [ $# != 0 ]; then
    dpi="${PELMAR_DEMO_DPI:-96}"
    size="$((560 * dpi / 96))x$((340 * dpi / 96))"
    crop="$size+0+0"
    # In the build folder, which a root sees, and in the state the game ships it.
    shot=""
    trap 'pelmar_stop; rm -rf "$shot"' EXIT
    shot=$(mktemp -d "$PELMAR_BUILD/shot.XXXXXX")
    demo=$shot
    cp -r "$tree/demo/." "$demo/"
    rm -f "$demo/System/Pelmar.ini"
    cp "$PELMAR_ROOT/demo/System/Unreal.ini" "$demo/System/Unreal.ini"
fi
rm -f "$out"
PELMAR_XVFB=1 pelmar_start_display
# The screen is saved once the window is up and its map list painted, then Pelmar ends.
coproc SHOW { "${show[@]}" "$tree/wineprefix-desktop-$name" "$demo/System" "$size" 2>&1; }
PELMAR_STOP_PIDS+=("$SHOW_PID")
while read -r -t "$PELMAR_LIMIT_DEMO_QUIET" line <&"${SHOW[0]}"; do
    if [ "$line" = shown ]; then
        said=1
        break
    fi
    echo "$line" >&2
done
[ -n "$said" ] || pelmar_fail "starting Pelmar" "its window never appeared (the words above)"
sleep "${PELMAR_SHOT_DELAY:-2}" # the window is shown before its map list is painted
mkdir -p "$(dirname "$out")"
pelmar_step "taking the screenshot $out" "$PELMAR_LIMIT_IMAGE" \
    import -window root ${crop:+-crop "$crop" +repage} "$out"
colours=$(timeout "$PELMAR_LIMIT_IMAGE" convert "$out" -format '%k' info:) ||
    pelmar_fail "reading the screenshot $out" "convert failed"
[ "$colours" -ge 16 ] ||
    pelmar_fail "taking the screenshot $out" "it shows $colours colour(s): no Pelmar window on it"
eval "exec ${SHOW[1]}>&-"
wait "$SHOW_PID" || true
echo "Pelmar ($PELMAR_RUN_ARCH build) ran on a virtual display of its own; see $out"
