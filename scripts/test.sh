#!/usr/bin/env bash
# The test command. On Debian 12 or 13 it installs what is missing and builds; then it runs
# the Windows tests under each Wine of scripts/wines.txt side by side (scripts/suites.py;
# Wines of other releases come from roots made once), and beside them the checks that need
# no Wine, as the native tree's ctest tests. The 32-bit build runs where it can, the x86_64
# twin where it cannot. Ends with its times and a closing line a Wine; exits non-zero when
# anything failed. Settings (PELMAR_WINES, PELMAR_ARCH, ...): scripts/README.md.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build
began=$SECONDS

pelmar_choose_arch
# What every run needs first (Python for the plan); then this system's Wine where a Wine of
# the list is this system's (Debian testing has none), and the twin's compilers where a
# Wine runs the twin. Installing this system's Wine may turn its build to the twin.
pelmar_setup base checks roots
needs=$(python3 "$here/wines.py" needs "${PELMAR_OWN_ARCH_ARGS[@]}")
read -r own twin <<<"$needs"
if [ "$own" != - ]; then
    pelmar_setup wine
    needs=$(python3 "$here/wines.py" needs "${PELMAR_OWN_ARCH_ARGS[@]}")
    read -r own twin <<<"$needs"
fi
[ "$twin" = 0 ] || pelmar_setup twin
setup=$((SECONDS - began))

export PELMAR_WERROR=1
pelmar_build
[ "$twin" = 0 ] || pelmar_build_twin
# The native tree builds itself as its first test, beside the suites.
pelmar_step "configuring $PELMAR_NATIVE_BUILD" 300 cmake -S "$PELMAR_ROOT" -B "$PELMAR_NATIVE_BUILD" \
    -DCMAKE_BUILD_TYPE=Debug -DPELMAR_WERROR=ON -DPELMAR_WINDOWS_TREE="$PELMAR_BUILD"
builds=$((SECONDS - began - setup))

status=0
python3 "$here/suites.py" "${PELMAR_OWN_ARCH_ARGS[@]}" --checks "$PELMAR_NATIVE_BUILD" "$@" || status=$?
echo "Times: set-up $setup s; builds $builds s; the Wines' suites and the checks $((SECONDS - began - setup - builds)) s; in all $((SECONDS - began)) s."
exit "$status"
