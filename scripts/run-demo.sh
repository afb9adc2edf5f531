#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine, builds, and starts Pelmar in the demo game
# folder, as a player would start it from the game's System folder. Without a display it
# runs on a virtual one and saves a screenshot to build/demo-screenshot.png instead, and
# fails when the launcher's window never appeared. Where this machine runs no 32-bit code
# the demo shows the x86_64 build of the same sources (PELMAR_ARCH forces either).
source "$(dirname "$0")/common.sh"

pelmar_choose_arch
pelmar_setup
pelmar_build
pelmar_build_arch

demo="$PELMAR_ARCH_BUILD/demo/System"
echo "The demo shows the $PELMAR_ARCH build ($demo/Pelmar.exe): $PELMAR_ARCH_REASON."

trap pelmar_stop EXIT
if [ -n "${DISPLAY:-}" ]; then
    pelmar_start_wine
    cd "$demo"
    pelmar_wine Pelmar.exe
    exit 0
fi

pelmar_start_display
pelmar_start_desktop_wine 1024x768
shot="$PELMAR_BUILD/demo-screenshot.png"
rm -f "$shot"
pelmar_show_launcher "$demo" "$shot"
echo "No display here: Pelmar ($PELMAR_ARCH build) ran on a virtual one; see $shot"
