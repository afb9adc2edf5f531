#!/usr/bin/env bash
# The test command. On Debian 12 or 13 it installs what is missing; it builds, then runs the
# Windows test suite under each Wine of scripts/wines.txt side by side (scripts/wines.py;
# Wines of other releases come from roots it makes once), and beside them every check that
# needs no Wine (scripts/checks.sh). The 32-bit build runs where it can, the x86_64 twin
# where it cannot. Ends with the times and one line a Wine; exits non-zero when anything
# failed. Settings (PELMAR_WINES, PELMAR_ARCH, ...): scripts/README.md.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/env.sh
source "$here/lib/env.sh"
pelmar_init arch packages build root
# Nothing here starts what must be stopped: scripts/wines.py ends its suites itself.

times=()
timed() {
    times+=("$1 $((SECONDS - part_start)) s")
    part_start=$SECONDS
}
part_start=$SECONDS
pelmar_choose_arch
export PELMAR_CHECKS=1 PELMAR_ROOTS=1
# First what every run needs (Python for the plan); this system's Wine only where a Wine of
# the list is this system's (Debian testing, say, has none); the twin's compilers where a
# Wine runs the twin. Installing this system's Wine may turn the choice to the twin.
PELMAR_ARCH="" pelmar_setup
plan=$(pelmar_wines_plan)
if grep -q '^[^ ]* [^ ]* own ' <<<"$plan"; then
    pelmar_setup
    plan=$(pelmar_wines_plan)
fi
if pelmar_plan_needs_twin "$plan"; then
    PELMAR_TWIN_NEEDED=1 PELMAR_ARCH="" pelmar_setup
fi
timed "set-up"

# The Windows programs first: the native build runs beside the suites, in checks.sh.
export PELMAR_WERROR=1
pelmar_build
if pelmar_plan_needs_twin "$plan"; then pelmar_build_twin; fi
timed "builds"

status=0
python3 "$here/wines.py" suites --beside "$here/checks.sh" "$@" || status=1
timed "the Wines' suites and the checks, side by side"
joined=$(printf '%s; ' "${times[@]}")
echo "Times: ${joined%; }; in all $SECONDS s."
exit "$status"
