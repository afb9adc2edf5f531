#!/usr/bin/env bash
# For developers: build the Windows programs (no set-up, no native build) and run ctest on
# them under Wine with any ctest arguments, e.g. scripts/dev-test.sh -R e2e.Run
# PELMAR_BUILD=/path picks another build folder; PELMAR_NATIVE=1 runs the native tests;
# PELMAR_ARCH=i686 or x86_64 picks the Windows architecture, as in scripts/test.sh.
source "$(dirname "$0")/common.sh"
if [ "${PELMAR_NATIVE:-0}" = 1 ]; then
    pelmar_build_native
    exec ctest --test-dir "$PELMAR_NATIVE_BUILD" --output-on-failure "$@"
fi
pelmar_choose_arch
echo "Windows tests run as $PELMAR_ARCH: $PELMAR_ARCH_REASON."
if [ "$PELMAR_ARCH" = i686 ]; then pelmar_build; else pelmar_build_arch; fi
PELMAR_XVFB=1 pelmar_start_display
pelmar_start_wine
pelmar_start_dpi_wine
trap pelmar_stop EXIT
ctest --test-dir "$PELMAR_ARCH_BUILD" --output-on-failure --timeout 300 "$@"
