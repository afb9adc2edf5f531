#!/usr/bin/env bash
# Sets up a fresh Debian 12 or 13 machine, builds, and starts Pelmar in the demo game folder
# under this system's Wine, as a player starts it from the game's System folder. With no
# display it runs on a virtual one, saves build/demo-screenshot.png, and fails when its
# window never appeared. Where this machine runs no 32-bit code it shows the x86_64 twin.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build demo
trap pelmar_stop EXIT
pelmar_choose_arch
pelmar_setup base wine
pelmar_build
tree=$(pelmar_tree)
echo "The demo shows the $PELMAR_RUN_ARCH build ($tree/demo/System/Pelmar.exe): $PELMAR_ARCH_REASON."
export PELMAR_ARCH="$PELMAR_RUN_ARCH"
if [ -n "${DISPLAY:-}" ] && [ "${PELMAR_XVFB:-0}" != 1 ]; then
    # Plain windows on the player's desktop, until Pelmar is closed.
    exec bash "$here/in-wine.sh" show "$tree/wineprefix-demo-$(pelmar_codename)" "$tree/demo/System" >/dev/null
fi
pelmar_start_display
shot="$PELMAR_BUILD/demo-screenshot.png"
rm -f "$shot"
pelmar_show_and_shoot "$shot" "" bash "$here/in-wine.sh" show "$tree/wineprefix-desktop-$(pelmar_codename)" \
    "$tree/demo/System" 1024x768
echo "No display here: Pelmar ($PELMAR_RUN_ARCH build) ran on a virtual one; see $shot"
