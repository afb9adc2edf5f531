#!/usr/bin/env bash
# The test command: the set-up (Debian 12 or 13), the builds, then the Windows tests under
# each Wine of scripts/wines.txt side by side and the checks beside them (scripts/suites.py);
# its times and a closing line a Wine at the end. Fails when anything failed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build
# Python first, for the plan; then this system's Wine where it is chosen (Debian testing has
# none), which may turn its build to the twin, and the compilers of the plan's builds.
pelmar_setup demo tests checks roots
pelmar_plan
pelmar_setup compilers wine
setup=$SECONDS

export PELMAR_WERROR=1
pelmar_build
# The native tree builds itself as its first test, beside the suites.
PELMAR_CONFIGURE_ONLY=1 pelmar_build native
builds=$((SECONDS - setup))
status=0
python3 "$here/suites.py" --checks "$PELMAR_NATIVE_BUILD" "$@" || status=$?
echo "Times: set-up $setup s; builds $builds s; the Wines' suites and the checks" \
    "$((SECONDS - setup - builds)) s; in all $SECONDS s."
exit "$status"
