#!/usr/bin/env bash
# Every check of the test command that needs no Wine: builds the native tree and runs its
# tests (AddressSanitizer and UndefinedBehaviorSanitizer), the set-up's answers to a bad
# mirror, a short run of each fuzz target, the static analysis with shellcheck, and, on the
# built i686 tree, Pelmar.exe's header and imports and a second build elsewhere that must
# give the same Pelmar.exe and zip. The test command runs it beside the Wines' suites. Runs
# every check; exits 1 if any failed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/env.sh
source "$here/lib/env.sh"
pelmar_init build release

failed=()
check() {
    local name="$1" began=$SECONDS status=0
    shift
    # A subshell: a check that stops at its first failure ends only itself.
    ("$@") || status=$?
    echo "-- $name: $([ "$status" = 0 ] && echo passed || echo "FAILED (status $status)") in $((SECONDS - began)) s"
    [ "$status" = 0 ] || failed+=("$name")
}
check "native build" pelmar_build_native
check "native tests" ctest --test-dir "$PELMAR_NATIVE_BUILD" --output-on-failure
check "set-up test" bash "$PELMAR_ROOT/tests/scripts/test_setup.sh"
check "fuzzing" bash "$here/fuzz.sh" --smoke
check "static analysis" bash "$here/static-analysis.sh"
check "Pelmar.exe's header and imports" pelmar_check_player_exe
check "reproducibility" pelmar_check_reproducible
[ ${#failed[@]} = 0 ] || { echo "checks.sh: failed: ${failed[*]}" >&2; exit 1; }
echo "checks.sh: every check passed"
