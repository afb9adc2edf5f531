#!/usr/bin/env bash
# Builds the players' download: build/package/Pelmar-<version>-win32.zip (Pelmar.exe and a
# README.txt) and its SHA-256 beside it. The same commit gives the same bytes from any folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/env.sh
source "$here/lib/env.sh"
pelmar_init packages build release
# No Wine: the zip needs only the 32-bit build, its compilers and CMake.
PELMAR_ARCH="" pelmar_setup
pelmar_build
pelmar_check_player_exe
zip=$(pelmar_package "$PELMAR_BUILD")
echo "Made $zip"
cat "$zip.sha256"
