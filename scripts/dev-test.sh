#!/usr/bin/env bash
# The quick loop: rebuilds the Windows programs and runs ctest (with the arguments given) under
# this system's Wine or those PELMAR_WINES names; PELMAR_NATIVE=1: the native tree instead.
# Installs nothing, but makes a Wine's root once where it is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build
if [ "${PELMAR_NATIVE:-0}" = 1 ]; then
    pelmar_build native
    exec ctest --test-dir "$PELMAR_NATIVE_BUILD" --output-on-failure "$@"
fi
pelmar_plan --own --installed
pelmar_build
exec python3 "$here/suites.py" "$@"
