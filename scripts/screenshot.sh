#!/usr/bin/env bash
# Starts Pelmar on a fresh copy of the demo game folder inside Wine's virtual desktop (which
# draws window frames) on a virtual X display, and saves what a player sees as a PNG.
# Usage: scripts/screenshot.sh [output.png]   (default docs/screenshot.png)
source "$(dirname "$0")/common.sh"
out="${1:-$PELMAR_ROOT/docs/screenshot.png}"
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac

pelmar_setup
pelmar_build
PELMAR_XVFB=1 pelmar_start_display
pelmar_start_wine
trap pelmar_stop EXIT

demo=$(mktemp -d)
trap 'pelmar_stop; rm -rf "$demo"' EXIT
cp -r "$PELMAR_BUILD/demo/." "$demo/"
rm -f "$demo/System/Pelmar.ini"
cp "$PELMAR_ROOT/demo/System/Unreal.ini" "$demo/System/Unreal.ini"

cd "$demo/System"
wine explorer /desktop=PelmarShot,560x340 Pelmar.exe >/dev/null 2>&1 </dev/null &
sleep "${PELMAR_SHOT_DELAY:-5}"
mkdir -p "$(dirname "$out")"
import -window root -crop 560x340+0+0 +repage "$out"
echo "Saved $out"
