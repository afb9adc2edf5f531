#!/usr/bin/env bash
# Start-up benchmark: builds, then times Pelmar.exe against the floor program under this
# system's Wine on a display of its own. Arguments go to the runner (the number of starts
# per program). Times the i686 build where this machine runs 32-bit code, else the x86_64 twin.
set -euo pipefail
here=$(cd "$(dirname "$0")/../scripts" && pwd)
# shellcheck source=scripts/lib/env.sh
source "$here/lib/env.sh"
pelmar_init arch packages build display wine
pelmar_stop_lists
trap pelmar_stop EXIT
pelmar_choose_arch
pelmar_setup
pelmar_build_arch
echo "Timing the $PELMAR_ARCH build ($PELMAR_ARCH_BUILD/Pelmar.exe): $PELMAR_ARCH_REASON."
PELMAR_XVFB=1 pelmar_start_display
prefix="$PELMAR_ARCH_BUILD/wineprefix-bench-$(pelmar_codename)"
pelmar_make_prefix "$prefix"
pelmar_boot_wineserver "$prefix"
pelmar_wine "$prefix" "$PELMAR_ARCH_BUILD/bench/bench_startup.exe" "$@"
