#!/usr/bin/env bash
# The test command: the set-up (Debian 12 or 13), the builds, then the Windows tests under
# each Wine of scripts/wines.txt side by side and the checks beside them (scripts/suites.py);
# its times and a closing line a Wine at the end. Fails when anything failed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build
pelmar_choose_arch
# Python first, for the plan; this system's Wine where it is chosen (Debian testing has
# none), which may turn its build to the twin; the twin's compilers where a Wine runs it.
pelmar_setup base checks roots
needs=$(python3 "$here/wines.py" needs "${PELMAR_OWN_ARCH_ARGS[@]}")
if [ "${needs% *}" != - ]; then
    pelmar_setup wine
    needs=$(python3 "$here/wines.py" needs "${PELMAR_OWN_ARCH_ARGS[@]}")
fi
[ "${needs#* }" = 0 ] || pelmar_setup twin
setup=$SECONDS

export PELMAR_WERROR=1
pelmar_build i686 "$([ "${needs#* }" = 0 ] || echo x86_64)"
# The native tree builds itself as its first test, beside the suites.
PELMAR_CONFIGURE_ONLY=1 pelmar_build native
builds=$((SECONDS - setup))
status=0
python3 "$here/suites.py" "${PELMAR_OWN_ARCH_ARGS[@]}" --checks "$PELMAR_NATIVE_BUILD" "$@" || status=$?
echo "Times: set-up $setup s; builds $builds s; the Wines' suites and the checks $((SECONDS - setup - builds)) s; in all $SECONDS s."
exit "$status"
