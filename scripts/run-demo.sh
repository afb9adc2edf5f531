#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine, builds, and starts Pelmar in the demo game
# folder, as a player would start it from the game's System folder. Without a display it
# runs on a virtual one and saves a screenshot to build/demo-screenshot.png instead.
source "$(dirname "$0")/common.sh"

pelmar_setup
pelmar_build

headless=0
[ -n "${DISPLAY:-}" ] || headless=1
pelmar_start_display
pelmar_start_wine
trap pelmar_stop EXIT

cd "$PELMAR_BUILD/demo/System"
if [ "$headless" = 1 ]; then
    wine explorer /desktop=Pelmar,1024x768 Pelmar.exe >/dev/null 2>&1 </dev/null &
    sleep 6
    import -window root "$PELMAR_BUILD/demo-screenshot.png"
    echo "No display here: Pelmar ran on a virtual one; see $PELMAR_BUILD/demo-screenshot.png"
else
    wine Pelmar.exe
fi
