#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine, builds, and runs every test:
# the text logic natively with AddressSanitizer and UndefinedBehaviorSanitizer, then the
# Windows test programs under Wine. Exits non-zero when any test fails.
source "$(dirname "$0")/common.sh"

pelmar_setup
pelmar_build_native
pelmar_build

# Tests get a display of their own, so a developer's desktop is left alone.
PELMAR_XVFB=1 pelmar_start_display
pelmar_start_wine
trap pelmar_stop EXIT

status=0
ctest --test-dir "$PELMAR_NATIVE_BUILD" --output-on-failure || status=1
ctest --test-dir "$PELMAR_BUILD" --output-on-failure --timeout 300 || status=1
exit $status
