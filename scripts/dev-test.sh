#!/usr/bin/env bash
# For developers: rebuilds the Windows programs (no set-up, no native build) and runs ctest on
# them under this system's Wine, or under the Wines PELMAR_WINES names, with any ctest
# arguments: bash scripts/dev-test.sh -R e2e.Run. PELMAR_NATIVE=1 runs the native tests and
# the checks instead. Installs nothing, but a Wine of another release needs its root,
# which is made once (1 to 2 GB in the cache folder). Settings: scripts/README.md.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build

if [ "${PELMAR_NATIVE:-0}" = 1 ]; then
    pelmar_build_native
    exec ctest --test-dir "$PELMAR_NATIVE_BUILD" --output-on-failure "$@"
fi
pelmar_choose_arch
pelmar_use_installed_wine
needs=$(python3 "$here/wines.py" needs --own "${PELMAR_OWN_ARCH_ARGS[@]}")
read -r _ twin <<<"$needs"
pelmar_build
[ "$twin" = 0 ] || pelmar_build_twin
exec python3 "$here/suites.py" --own "${PELMAR_OWN_ARCH_ARGS[@]}" "$@"
