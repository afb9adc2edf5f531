#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine, builds, and runs every test: the text logic
# natively with AddressSanitizer and UndefinedBehaviorSanitizer, a short run of each fuzz
# target, the static analysis, then the Windows test programs under Wine: as i686 where
# this machine runs 32-bit code, as x86_64 under wine64 where it does not (PELMAR_ARCH=i686
# or x86_64 forces one). They run under this system's Wine and again under the Wine of the
# other current Debian release (12 or 13), from a root kept in the cache folder;
# PELMAR_OTHER_WINE=0 skips that second run. It also checks Pelmar.exe's header and imports
# and that a second build elsewhere gives the same Pelmar.exe and zip. Exits non-zero when
# anything fails.
source "$(dirname "$0")/common.sh"
: "${PELMAR_OTHER_WINE:=1}"
export PELMAR_OTHER_WINE PELMAR_BUILD

times=()
part_start=$SECONDS
timed() {
    times+=("$1 $((SECONDS - part_start)) s")
    part_start=$SECONDS
}

pelmar_choose_arch
# Before anything starts that must be stopped again.
trap pelmar_stop EXIT
PELMAR_CHECKS=1 pelmar_setup
timed "set-up"
export PELMAR_WERROR=1
pelmar_build_native
pelmar_build
pelmar_build_arch
pelmar_check_player_exe
pelmar_check_reproducible
timed "builds"

status=0
ctest --test-dir "$PELMAR_NATIVE_BUILD" --output-on-failure || status=1
bash "$PELMAR_ROOT/tests/scripts/test_setup.sh" || status=1
bash "$PELMAR_ROOT/scripts/fuzz.sh" --smoke || status=1
bash "$PELMAR_ROOT/scripts/static-analysis.sh" || status=1
timed "native tests, fuzzing, analysis"

# Tests get a display of their own, so a developer's desktop is left alone.
PELMAR_XVFB=1 pelmar_start_display
echo "Windows tests run as $PELMAR_ARCH: $PELMAR_ARCH_REASON."
rm -f "$PELMAR_ARCH_BUILD"/ctest-*.summary
bash "$PELMAR_ROOT/scripts/wine-suite.sh" || status=1
timed "Windows tests under this system's Wine"
results=("$(cat "$PELMAR_ARCH_BUILD/ctest-$(pelmar_codename).summary" 2>/dev/null || echo "this system's Wine: no results")")

if [ "$PELMAR_OTHER_WINE" = 0 ]; then
    results+=("the other Debian release's Wine skipped (PELMAR_OTHER_WINE=0)")
elif ! other=$(pelmar_other_release); then
    results+=("no other Wine: one is known only for Debian 12 and 13")
    echo "The second Wine comes from the other current Debian release (12 or 13); $(pelmar_release_name) has none." >&2
    status=1
elif pelmar_make_other_root; then
    timed "making the Debian $other root"
    pelmar_in_other_root bash "$PELMAR_ROOT/scripts/wine-suite.sh" || status=1
    timed "Windows tests under Debian $other's Wine"
    results+=("$(cat "$PELMAR_ARCH_BUILD/ctest-$other.summary" 2>/dev/null || echo "Debian $other's Wine: no results")")
else
    results+=("Debian $other's Wine: no root, not run")
    status=1
fi

joined() { local sep="$1" out="$2" item; shift 2; for item; do out+="$sep$item"; done; echo "$out"; }
echo "Times: $(joined "; " "${times[@]}"); in all $SECONDS s."
echo "Windows tests ($PELMAR_ARCH): $(joined "; " "${results[@]}")."
exit $status
