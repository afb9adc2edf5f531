#!/usr/bin/env bash
# Builds the libFuzzer targets of the text logic (tests/fuzz) and runs each with ctest.
#   bash scripts/fuzz.sh [SECONDS] [CTEST ARGS]   each target SECONDS long (default 60)
#   bash scripts/fuzz.sh --smoke [CTEST ARGS]     each 15 s with a fixed seed, from the seeds alone
# A finding fails it, its input kept under build/fuzz/artifacts. Installs nothing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init
build="$PELMAR_BUILD/fuzz" seconds=60 seed=0
if [ "${1:-}" = --smoke ]; then
    seconds=15 seed=1
    rm -rf "$build/corpus"
    shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
command -v clang++ >/dev/null || pelmar_fail "fuzzing" "clang++ not found (Debian package: clang)"
# The runtime comes apart from the compiler: a link is tried first.
pelmar_step "linking a libFuzzer program (Debian: libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev)" 120 clang++ \
    -fsanitize=fuzzer,address,undefined -x c++ <(echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }') -o /dev/null
pelmar_step "configuring $build" 300 nice cmake -S "$PELMAR_ROOT/tests/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ \
    -DPELMAR_FUZZ_SECONDS="$seconds" -DPELMAR_FUZZ_SEED="$seed"
pelmar_step "building $build" 900 nice cmake --build "$build" -j 1
nice -n 10 ctest --test-dir "$build" --output-on-failure "$@" ||
    pelmar_fail "fuzzing" "a finding (libFuzzer's words above; the input under $build/artifacts)"
