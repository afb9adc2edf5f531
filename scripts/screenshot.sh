#!/usr/bin/env bash
# Pictures what a player sees: Pelmar on a fresh copy of the demo game folder in Wine's
# virtual desktop (which draws window frames), on a virtual display, saved as a PNG.
#   bash scripts/screenshot.sh [OUT.png]   (default docs/screenshot.png)
# PELMAR_DEMO_DPI=144 pictures a screen of that scale; PELMAR_DEMO_WINE=<name> takes that
# Wine of scripts/wines.txt, from its root where it is not this system's.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build demo
dpi="${PELMAR_DEMO_DPI:-96}"
size="$((560 * dpi / 96))x$((340 * dpi / 96))"
out=$(realpath -m "${1:-$PELMAR_ROOT/docs/screenshot.png}")
trap pelmar_stop EXIT
pelmar_choose_arch
show=(bash "$here/in-wine.sh" show)
if [ -n "${PELMAR_DEMO_WINE:-}" ]; then
    # Its build comes from the Wines' plan.
    pelmar_setup base roots
    needs=$(PELMAR_WINES="$PELMAR_DEMO_WINE" python3 "$here/wines.py" needs)
    [ "${needs#* }" = 0 ] || PELMAR_RUN_ARCH=x86_64
    show=(python3 "$here/wines.py" run "$PELMAR_DEMO_WINE" -- "${show[@]}")
else
    pelmar_setup base wine
fi
pelmar_build
tree=$(pelmar_tree)
wine_name=${PELMAR_DEMO_WINE:-"this system's Wine"}
echo "Picturing the $PELMAR_RUN_ARCH build at $dpi DPI under $wine_name."
# In the build folder: a root sees it, not this system's /tmp.
demo=$(mktemp -d "$PELMAR_BUILD/shot.XXXXXX")
trap 'pelmar_stop; rm -rf "$demo"' EXIT
cp -r "$tree/demo/." "$demo/"
rm -f "$demo/System/Pelmar.ini"
cp "$PELMAR_ROOT/demo/System/Unreal.ini" "$demo/System/Unreal.ini"
PELMAR_XVFB=1 pelmar_start_display
PELMAR_ARCH=$PELMAR_RUN_ARCH pelmar_show_and_shoot "$out" "$size+0+0" "${show[@]}" \
    "$tree/wineprefix-desktop-${PELMAR_DEMO_WINE:-$(pelmar_codename)}" "$demo/System" "$size"
echo "Saved $out"
