#!/usr/bin/env bash
# Builds the libFuzzer targets of the text logic (tests/fuzz) and runs each in turn.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]   each target SECONDS long (default 60)
#   bash scripts/fuzz.sh --smoke [TARGET...]     each 15 s with a fixed seed, for CI
# Exits non-zero when a target finds a crash or a broken promise; the input that did it is
# kept under build/fuzz/artifacts. Needs cmake, clang and the libFuzzer runtime
# (Debian: cmake clang libclang-rt-<version>-dev); installs nothing itself.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build="${PELMAR_BUILD:-$root/build}/fuzz"
all_targets=(fuzz_text_helpers fuzz_command_line fuzz_map_names fuzz_settings_text)

seconds=60
smoke=0
if [ "${1:-}" = "--smoke" ]; then
    smoke=1
    seconds=15
    shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

fail() {
    echo "fuzz.sh: $*" >&2
    exit 2
}

command -v cmake >/dev/null || fail "cmake not found (Debian package: cmake)"
command -v clang++ >/dev/null || fail "clang++ not found (Debian package: clang)"
# The runtime comes apart from the compiler: try a link before configuring anything.
clang_major=$(clang++ -dumpversion | cut -d. -f1)
probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' \
    >"$probe_dir/probe.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe_dir/probe.cpp" -o "$probe_dir/probe" \
    >"$probe_dir/log" 2>&1; then
    cat "$probe_dir/log" >&2
    fail "clang++ cannot link a libFuzzer program: install libclang-rt-$clang_major-dev"
fi

nice cmake -S "$root/tests/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
nice cmake --build "$build" -j 1

mkdir -p "$build/artifacts" "$build/logs"
failed=()
for target in "${targets[@]}"; do
    [ -x "$build/$target" ] || fail "no such target: $target"
    seeds="$root/tests/fuzz/corpus/$target"
    # New inputs go to a corpus under build/; the checked-in seeds are only read.
    if [ $smoke = 1 ]; then
        corpus="$build/smoke-corpus/$target"
        rm -rf "$corpus"
        options=(-seed=1)
    else
        corpus="$build/corpus/$target"
        options=()
    fi
    mkdir -p "$corpus"
    log="$build/logs/$target.log"
    echo "== $target: ${seconds}s"
    status=0
    nice -n 10 "$build/$target" "${options[@]}" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
        "$corpus" "$seeds" >"$log" 2>&1 || status=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    # libFuzzer's own count of the inputs it keeps, seeds included.
    units=$(sed -n 's/^#[0-9]*[[:space:]]*DONE .* corp: \([0-9]*\/[0-9a-zA-Z]*\) .*/\1/p' "$log")
    echo "   executions ${execs:-?}, ${rate:-?}/s, corpus ${units:-?} (inputs/bytes), log $log"
    if [ $status -ne 0 ]; then
        echo "   FAILED (exit $status):" >&2
        grep -E 'ERROR|broken promise|SUMMARY|Test unit written' "$log" | head -n 20 >&2 || true
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz.sh: findings in ${failed[*]}; inputs under $build/artifacts" >&2
    exit 1
fi
echo "fuzz.sh: no findings"
