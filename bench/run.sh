#!/usr/bin/env bash
# Start-up benchmark: builds, then times Pelmar.exe against the floor program under this
# system's Wine on a display of its own. Arguments go to the runner (the number of starts
# per program). Times the i686 build where this machine runs 32-bit code, else the x86_64 twin.
set -euo pipefail
here=$(cd "$(dirname "$0")/../scripts" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build wine
trap pelmar_stop EXIT
pelmar_setup demo tests
pelmar_plan --own
pelmar_setup compilers wine
pelmar_build
tree=$(pelmar_tree)
echo "Timing the $PELMAR_RUN_ARCH build ($tree/Pelmar.exe): $PELMAR_ARCH_REASON."
PELMAR_XVFB=1 pelmar_start_display
prefix="$tree/wineprefix-bench-$(pelmar_os_release VERSION_CODENAME)"
pelmar_make_prefix "$prefix"
pelmar_boot_wineserver "$prefix"
pelmar_wine "$prefix" "$tree/bench/bench_startup.exe" "$@"
