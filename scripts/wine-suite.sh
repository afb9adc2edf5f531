#!/usr/bin/env bash
# The Windows test suite of one Wine, as scripts/wines.py runs it, one a Wine, side by
# side: PELMAR_WINE_NAME names the Wine (its prefixes are wineprefix-<name> in the tree of
# PELMAR_ARCH), PELMAR_WINE_ROOT its root (empty: this system's Wine). Starts a display of
# its own, enters the root where there is one, makes the prefixes and runs ctest with any
# ctest arguments; leaves <tree>/ctest-<name>.xml (JUnit; PELMAR_JUNIT names another) and
# .about (which Wine, where).
# Builds and installs nothing. Exits 3 when its set-up failed and no test ran.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/env.sh
source "$here/lib/env.sh"
pelmar_init arch display wine root
: "${PELMAR_ARCH:?names the built tree: i686 or x86_64}" "${PELMAR_WINE_NAME:?names the Wine}"
export PELMAR_FAIL_STATUS=3
pelmar_use_arch
pelmar_stop_lists
trap pelmar_stop EXIT

if [ "${PELMAR_IN_ROOT:-0}" != 1 ]; then
    # Each Wine its own display: no two suites share windows, focus or the foreground.
    PELMAR_XVFB=1 pelmar_start_display
    if [ -n "${PELMAR_WINE_ROOT:-}" ]; then
        status=0
        pelmar_in_root "$PELMAR_WINE_ROOT" bash "$here/wine-suite.sh" "$@" || status=$?
        exit "$status"
    fi
fi

name="$PELMAR_WINE_NAME"
version=$("$PELMAR_WINE" --version 2>/dev/null </dev/null) || pelmar_fail "asking Wine its version" "$PELMAR_WINE --version failed"
where="on $(pelmar_release_name)"
[ "${PELMAR_IN_ROOT:-0}" != 1 ] || where="in a $(pelmar_release_name) root"
echo "$version $where" >"$PELMAR_ARCH_BUILD/ctest-$name.about"
echo "== Windows tests ($PELMAR_ARCH) under $version $where, on display $DISPLAY"
pelmar_start_test_wines "$PELMAR_ARCH_BUILD/wineprefix-$name"
export WINEPREFIX="$PELMAR_ARCH_BUILD/wineprefix-$name"
PELMAR_FAIL_STATUS=1
ctest --test-dir "$PELMAR_ARCH_BUILD" --output-on-failure --timeout 300 \
    --output-junit "${PELMAR_JUNIT:-$PELMAR_ARCH_BUILD/ctest-$name.xml}" "$@"
