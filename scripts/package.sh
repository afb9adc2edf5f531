#!/usr/bin/env bash
# Builds the players' download: build/package/Pelmar-<version>-win32.zip (Pelmar.exe and a
# README.txt) and its SHA-256 beside it. The same commit gives the same bytes from any folder.
source "$(dirname "$0")/common.sh"
PELMAR_ARCH=""  # the zip needs no Wine: only the 32-bit build
pelmar_setup
pelmar_build
pelmar_check_player_exe
pelmar_package
echo "Made $PELMAR_ZIP"
cat "$PELMAR_ZIP.sha256"
