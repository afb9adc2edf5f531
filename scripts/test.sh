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
pelmar_init arch packages build
# Nothing here starts what must be stopped: scripts/wines.py ends its suites itself.

times=()
timed() {
    times+=("$1 $((SECONDS - part_start)) s")
    part_start=$SECONDS
}
part_start=$SECONDS
pelmar_choose_arch
PELMAR_CHECKS=1 PELMAR_ROOTS=1 pelmar_setup
plan=$(python3 "$here/wines.py" plan) || pelmar_fail "choosing the Wines" "scripts/wines.py's words above"
if grep -q '^[^ ]* x86_64 ' <<<"$plan"; then
    PELMAR_CHECKS=1 PELMAR_ROOTS=1 PELMAR_TWIN_NEEDED=1 pelmar_setup
fi
timed "set-up"

# The Windows programs first: the native build runs beside the suites, in checks.sh.
export PELMAR_WERROR=1
pelmar_build
if grep -q '^[^ ]* x86_64 ' <<<"$plan"; then pelmar_build_twin; fi
timed "builds"

status=0
python3 "$here/wines.py" suites --beside "$here/checks.sh" "$@" || status=1
timed "the Wines' suites and the checks, side by side"
joined=$(printf '%s; ' "${times[@]}")
echo "Times: ${joined%; }; in all $SECONDS s."
exit "$status"
