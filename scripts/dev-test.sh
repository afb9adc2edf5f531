#!/usr/bin/env bash
# For developers: build the Windows programs (no set-up, no native build) and run ctest on
# them under this system's Wine with any ctest arguments, e.g. scripts/dev-test.sh -R e2e.Run
# PELMAR_OTHER_WINE=1 runs them under the other Debian release's Wine too (its root is made
# once, as by scripts/test.sh). PELMAR_BUILD=/path picks another build folder; PELMAR_NATIVE=1
# runs the native tests; PELMAR_ARCH=i686 or x86_64 picks the Windows architecture.
source "$(dirname "$0")/common.sh"
if [ "${PELMAR_NATIVE:-0}" = 1 ]; then
    pelmar_build_native
    exec ctest --test-dir "$PELMAR_NATIVE_BUILD" --output-on-failure "$@"
fi
: "${PELMAR_OTHER_WINE:=0}"
export PELMAR_BUILD
pelmar_choose_arch
pelmar_use_installed_wine
echo "Windows tests run as $PELMAR_ARCH: $PELMAR_ARCH_REASON."
if [ "$PELMAR_ARCH" = i686 ]; then pelmar_build; else pelmar_build_arch; fi
rm -f "$PELMAR_ARCH_BUILD"/ctest-*.summary
trap pelmar_stop EXIT
PELMAR_XVFB=1 pelmar_start_display
status=0
bash "$PELMAR_ROOT/scripts/wine-suite.sh" "$@" || status=1
if pelmar_other_wine_wanted; then
    if pelmar_make_other_root; then
        pelmar_in_other_root bash "$PELMAR_ROOT/scripts/wine-suite.sh" "$@" || status=1
    else
        status=1
    fi
fi
cat "$PELMAR_ARCH_BUILD"/ctest-*.summary 2>/dev/null || true
exit $status
