#!/usr/bin/env bash
# Start-up benchmark: builds, then times Pelmar.exe against the floor program under Wine on
# a display of its own. Arguments go to the runner (the number of starts per program).
source "$(dirname "$0")/../scripts/common.sh"
pelmar_setup
pelmar_build
PELMAR_XVFB=1 pelmar_start_display
pelmar_start_wine
trap pelmar_stop EXIT
wine "$PELMAR_BUILD/bench/bench_startup.exe" "$@"
