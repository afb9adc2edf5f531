#!/usr/bin/env bash
# Starts Pelmar on a fresh copy of the demo game folder inside Wine's virtual desktop (which
# draws window frames) on a virtual X display, and saves what a player sees as a PNG.
# Usage: scripts/screenshot.sh [output.png]   (default docs/screenshot.png)
source "$(dirname "$0")/common.sh"
out="${1:-$PELMAR_ROOT/docs/screenshot.png}"
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac

pelmar_choose_arch
pelmar_setup
pelmar_build
pelmar_build_arch
echo "Picturing the $PELMAR_ARCH build: $PELMAR_ARCH_REASON."

demo=$(mktemp -d)
trap 'pelmar_stop; rm -rf "$demo"' EXIT
cp -r "$PELMAR_ARCH_BUILD/demo/." "$demo/"
rm -f "$demo/System/Pelmar.ini"
cp "$PELMAR_ROOT/demo/System/Unreal.ini" "$demo/System/Unreal.ini"

PELMAR_XVFB=1 pelmar_start_display
pelmar_start_desktop_wine 560x340
pelmar_show_launcher "$demo/System" "$out" 560x340+0+0
echo "Saved $out"
