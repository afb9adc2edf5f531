#!/usr/bin/env bash
# Builds the libFuzzer targets of the text logic (tests/fuzz) and runs each in turn.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]   each target SECONDS long (default 60)
#   bash scripts/fuzz.sh --smoke [TARGET...]     each 15 s with a fixed seed (the checks)
# Fails when a target finds a crash or a broken promise; the input that did it is kept
# under build/fuzz/artifacts. Needs cmake, clang and the libFuzzer runtime (Debian: cmake
# clang libclang-rt-<version>-dev); installs nothing itself.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init
build="$PELMAR_BUILD/fuzz"
seconds=60 options=() corpora="$build/corpus"
if [ "${1:-}" = --smoke ]; then
    seconds=15 options=(-seed=1) corpora="$build/smoke-corpus"
    shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_text_helpers fuzz_command_line fuzz_map_names fuzz_settings_text)

command -v clang++ >/dev/null || pelmar_fail "fuzzing" "clang++ not found (Debian package: clang)"
# The runtime comes apart from the compiler: a link is tried first.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' >"$probe/probe.cpp"
pelmar_step "linking a libFuzzer program (Debian: libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev)" 120 \
    clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe"
pelmar_step "configuring $build" 300 nice cmake -S "$PELMAR_ROOT/tests/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++
pelmar_step "building $build" 900 nice cmake --build "$build" -j 1

mkdir -p "$build/artifacts" "$build/logs"
for target in "${targets[@]}"; do
    [ -x "$build/$target" ] || pelmar_fail "fuzzing" "no such target: $target"
    # New inputs go to a corpus under build/; the checked-in seeds are only read. The
    # smoke run starts from the seeds alone each time.
    [ "$corpora" != "$build/smoke-corpus" ] || rm -rf "${corpora:?}/$target"
    mkdir -p "$corpora/$target"
    log="$build/logs/$target.log"
    echo "== $target: ${seconds}s"
    status=0
    timeout -k 10 $((seconds + 120)) nice -n 10 "$build/$target" ${options[@]+"${options[@]}"} -max_total_time="$seconds" \
        -max_len=4096 -timeout=10 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
        "$corpora/$target" "$PELMAR_ROOT/tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    echo "   executions $(sed -n 's/^stat::number_of_executed_units: *//p' "$log"), log $log"
    if [ "$status" != 0 ]; then
        grep -E 'ERROR|broken promise|SUMMARY|Test unit written' "$log" | head -n 20 >&2 || tail -n 20 "$log" >&2
        pelmar_fail "fuzzing $target" "a finding (status $status; the input under $build/artifacts)"
    fi
done
echo "fuzz.sh: no findings"
