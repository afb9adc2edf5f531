#!/usr/bin/env bash
# Builds the libFuzzer targets of the text logic (tests/fuzz) and runs each with ctest.
#   bash scripts/fuzz.sh [SECONDS] [CTEST ARGS]   each target SECONDS long (default 60)
#   bash scripts/fuzz.sh --smoke [CTEST ARGS]     each 15 s with a fixed seed, from the seeds alone
# A finding fails it, its input kept under build/fuzz/artifacts. Installs nothing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init build
build="$PELMAR_BUILD/fuzz"
seconds=60
seed=0
if [ "${1:-}" = --smoke ]; then
    seconds=15
    seed=1
    rm -rf "$build/corpus"
    shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
command -v clang++ >/dev/null || pelmar_fail "fuzzing" "clang++ not found (Debian package: clang)"
# The runtime comes apart from the compiler: a link is tried first.
runtime="libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev"
target='extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }'
pelmar_step "linking a libFuzzer program (Debian: $runtime)" "$PELMAR_LIMIT_FUZZ_LINK" \
    clang++ -fsanitize=fuzzer,address,undefined -x c++ <(echo "$target") -o /dev/null
pelmar_compiler_cache
pelmar_step "configuring $build" "$PELMAR_LIMIT_CONFIGURE" nice cmake -S "$PELMAR_ROOT/tests/fuzz" \
    -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DPELMAR_FUZZ_SECONDS="$seconds" \
    -DPELMAR_FUZZ_SEED="$seed" "${PELMAR_LAUNCHER[@]}"
pelmar_step "building $build" "$PELMAR_LIMIT_FUZZ_BUILD" nice cmake --build "$build" -j 1
# Each target has its seconds and FUZZ_TARGET's margin (tests/fuzz); the run, all of theirs.
targets=$(ctest --test-dir "$build" -N | grep -c '^ *Test *#') ||
    pelmar_fail "fuzzing" "ctest finds no target in $build"
timeout -k 10 "$((targets * (seconds + PELMAR_LIMIT_FUZZ_TARGET) + 10))" \
    nice -n 10 ctest --test-dir "$build" --output-on-failure "$@" ||
    pelmar_fail "fuzzing" "a finding or no time left (the words above; inputs in $build/artifacts)"
