#!/usr/bin/env bash
# Sets up a fresh Debian 12 or 13 machine, builds, and starts Pelmar in the demo game folder
# under this system's Wine, as a player would start it from the game's System folder.
# Without a display it runs on a virtual one and saves build/demo-screenshot.png instead,
# and fails when the launcher's window never appeared. Where this machine runs no 32-bit
# code the demo shows the x86_64 build of the same sources (PELMAR_ARCH forces either).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/env.sh
source "$here/lib/env.sh"
pelmar_init arch packages build display wine demo
pelmar_stop_lists
trap pelmar_stop EXIT

pelmar_choose_arch
pelmar_setup
pelmar_build_arch
demo="$PELMAR_ARCH_BUILD/demo/System"
echo "The demo shows the $PELMAR_ARCH build ($demo/Pelmar.exe): $PELMAR_ARCH_REASON."

if [ -n "${DISPLAY:-}" ]; then
    # A prefix of plain windows: the desktop prefix's would open Wine's virtual desktop.
    prefix="$PELMAR_ARCH_BUILD/wineprefix-demo-$(pelmar_codename)"
    pelmar_make_prefix "$prefix"
    pelmar_boot_wineserver "$prefix"
    cd "$demo"
    pelmar_wine "$prefix" Pelmar.exe
    exit 0
fi
pelmar_start_display
prefix=$(pelmar_desktop_prefix)
pelmar_start_desktop_wine "$prefix" 1024x768
shot="$PELMAR_BUILD/demo-screenshot.png"
rm -f "$shot"
pelmar_start_launcher "$demo" "$prefix"
pelmar_take_shot "$shot"
echo "No display here: Pelmar ($PELMAR_ARCH build) ran on a virtual one; see $shot"
