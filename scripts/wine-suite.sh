#!/usr/bin/env bash
# The Windows test suite of the built tree (PELMAR_ARCH, PELMAR_BUILD) under this system's
# Wine, in prefixes of its own, on the display DISPLAY names; ctest arguments pass through.
# The test command runs it on the host and inside the other Debian release's root. Builds
# and installs nothing.
source "$(dirname "$0")/common.sh"
: "${PELMAR_ARCH:?PELMAR_ARCH must name the built tree: i686 or x86_64}"
pelmar_use_arch
trap pelmar_stop EXIT
pelmar_windows_suite "$@"
