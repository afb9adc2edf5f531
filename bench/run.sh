#!/usr/bin/env bash
# Start-up benchmark: builds, then times Pelmar.exe against the floor program under Wine on
# a display of its own. Arguments go to the runner (the number of starts per program).
# Times the i686 build where this machine runs 32-bit code, else the x86_64 twin.
source "$(dirname "$0")/../scripts/common.sh"
pelmar_choose_arch
pelmar_setup
pelmar_build
pelmar_build_arch
echo "Timing the $PELMAR_ARCH build ($PELMAR_ARCH_BUILD/Pelmar.exe): $PELMAR_ARCH_REASON."
PELMAR_XVFB=1 pelmar_start_display
pelmar_start_wine
trap pelmar_stop EXIT
pelmar_wine "$PELMAR_ARCH_BUILD/bench/bench_startup.exe" "$@"
