#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine, builds, and runs every test: the text logic
# natively with AddressSanitizer and UndefinedBehaviorSanitizer, a short run of each fuzz
# target, the static analysis, then the Windows test programs under Wine: as i686 where
# this machine runs 32-bit code, as x86_64 under wine64 where it does not (PELMAR_ARCH=i686
# or x86_64 forces one). It also checks Pelmar.exe's header and imports and that a second
# build elsewhere gives the same Pelmar.exe and zip. Exits non-zero when anything fails.
source "$(dirname "$0")/common.sh"

pelmar_choose_arch
PELMAR_CHECKS=1 pelmar_setup
export PELMAR_WERROR=1
pelmar_build_native
pelmar_build
pelmar_build_arch
pelmar_check_player_exe
pelmar_check_reproducible

# Tests get a display of their own, so a developer's desktop is left alone.
PELMAR_XVFB=1 pelmar_start_display
pelmar_start_wine
pelmar_start_dpi_wine
trap pelmar_stop EXIT

status=0
ctest --test-dir "$PELMAR_NATIVE_BUILD" --output-on-failure || status=1
bash "$PELMAR_ROOT/scripts/fuzz.sh" --smoke || status=1
bash "$PELMAR_ROOT/scripts/static-analysis.sh" || status=1
echo "Windows tests run as $PELMAR_ARCH: $PELMAR_ARCH_REASON."
ctest --test-dir "$PELMAR_ARCH_BUILD" --output-on-failure --timeout 300 || status=1
echo "Windows tests ran as $PELMAR_ARCH ($PELMAR_ARCH_BUILD) under $(pelmar_wine --version 2>/dev/null </dev/null), at 96 DPI and, for the layout, at ${PELMAR_TEST_DPIS[*]} DPI."
exit $status
