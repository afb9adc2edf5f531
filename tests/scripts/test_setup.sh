#!/usr/bin/env bash
# The set-up's answers to a bad package mirror, with stand-ins for apt-get, apt-cache, dpkg
# and dpkg-query on the PATH (no network, nothing installed); a dangling font link made
# anew; a display that cannot start; which build each Wine runs; a root that cannot be made;
# which builds are made; the compiler cache; which failed tests run once more; a GoogleTest
# run that ran no test or ended early; and steps that fail or hang stopping their check.
# shellcheck disable=SC2016 # the stand-ins and the bash -c bodies expand when they run
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=""
trap 'rm -rf "$tmp"' EXIT
tmp=$(mktemp -d)
mkdir "$tmp/bin"
export STANDIN="$tmp/state" PATH="$tmp/bin:$PATH" PELMAR_BUILD="$tmp/build" PELMAR_APT_PAUSE=0
export PYTHONDONTWRITEBYTECODE=1
cat >"$tmp/bin/apt-get" <<'STANDIN'
#!/bin/sh
echo "$*" >>"$STANDIN/log"
case "$*" in
    *update*) exit "$(cat "$STANDIN/update_rc")" ;;
    *" -s "*) case "$*" in *wine32:i386*) [ -e "$STANDIN/no_i386" ] && exit 100 ;; esac ;;
    *)
        [ -e "$STANDIN/install_fails" ] && exit 100
        for pkg in "$@"; do
            case "$pkg" in -* | install) ;; *) echo "$pkg" >>"$STANDIN/installed" ;; esac
        done
        ;;
esac
exit 0
STANDIN
printf '#!/bin/sh\ngrep -qx "$3" "$STANDIN/installed" && printf "install ok installed"\n' \
    >"$tmp/bin/dpkg-query"
printf '#!/bin/sh\necho "  Depends: clang-99"\n' >"$tmp/bin/apt-cache"
printf '#!/bin/sh\nexec "$@"\n' >"$tmp/bin/sudo"
printf '#!/bin/sh\necho "dpkg $*" >>"$STANDIN/log"\n' >"$tmp/bin/dpkg"
chmod +x "$tmp/bin"/*

passed=0
failed=0
check() {
    if [ "$3" = "$2" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED $1: got '$3', want '$2'" >&2
    fi
}
said() {
    if grep -qF -- "$1" <<<"$2"; then echo yes; else echo no; fi
}
# Runs bash code with the named scripts/lib files sourced, under set -e as the scripts do.
lib() {
    local libs="$1"
    shift
    bash -c 'set -euo pipefail
        source "$0/scripts/lib/common.sh"
        pelmar_init '"$libs"'
        '"$1" "$root" "${@:2}" 2>&1
}

# The set-up on a machine that runs 32-bit code, PELMAR_ARCH as given (empty: its choice);
# the plan as wines.py makes it for this system's Wine, and once more after a fall-back.
# shellcheck disable=SC2034 # the plan's variables, read by pelmar_setup
setup() {
    local arch="$1" words="$2" out status installed
    rm -rf "$STANDIN"
    mkdir "$STANDIN"
    touch "$STANDIN/installed" "$STANDIN/log"
    echo "$3" >"$STANDIN/update_rc"
    for flag in $4; do touch "$STANDIN/$flag"; done
    out=$(env -u PELMAR_ARCH ${arch:+PELMAR_ARCH=$arch} bash -c 'set -euo pipefail
        source "$0/scripts/lib/common.sh"
        pelmar_init setup
        pelmar_plan() {
            PELMAR_RUN_ARCH=${PELMAR_ARCH:-i686}
            [ "$*" != --own-arch\ x86_64 ] || PELMAR_RUN_ARCH=x86_64
            PELMAR_BUILDS=i686
            PELMAR_WINE_PACKAGES="wine wine32:i386 fonts-wine"
            if [ "$PELMAR_RUN_ARCH" = x86_64 ]; then
                PELMAR_BUILDS="i686 x86_64"
                PELMAR_WINE_PACKAGES="wine64 fonts-wine"
            fi
        }
        pelmar_plan
        pelmar_setup demo tests checks compilers wine
        echo "arch=$PELMAR_RUN_ARCH"' "$root" 2>&1)
    status=$?
    installed="$STANDIN/installed"
    echo "status=$status updates=$(grep -c '^update' "$STANDIN/log")" \
        "$(grep -o 'arch=.*' <<<"$out" || echo arch=none)" \
        "wine32=$(grep -cx 'wine32:i386' "$installed") wine64=$(grep -cx wine64 "$installed")" \
        "said=$(said "$words" "$out")"
}
check "good mirror: the 32-bit Wine is installed" \
    "status=0 updates=1 arch=i686 wine32=1 wine64=0 said=no" \
    "$(setup "" "cannot install" 0 "")"
check "index half-synced, 32-bit Wine not installable: retried, then the x86_64 twin, loudly" \
    "status=0 updates=3 arch=x86_64 wine32=0 wine64=1 said=yes" \
    "$(setup "" "This machine runs 32-bit code, but apt cannot install the 32-bit" 100 no_i386)"
check "PELMAR_ARCH=i686 insists: stops and names the way out" \
    "status=1 updates=3 arch=none wine32=0 wine64=0 said=yes" \
    "$(setup i686 "or use PELMAR_ARCH=x86_64, which needs no i386 package" 100 no_i386)"
check "install fails: stops and says to wait for the mirror" \
    "status=1 updates=1 arch=none wine32=0 wine64=0 said=yes" \
    "$(setup x86_64 "wait a while for the mirror and run again" 0 install_fails)"
: >"$STANDIN/installed"
installed=(python3 "$root/scripts/wines.py" plan bookworm --own --installed)
check "no wine32 and nothing installed: the twin, or a stop when i686 insists" \
    "PELMAR_RUN_ARCH=x86_64|FAILED: choosing the Windows build" \
    "$(env -u PELMAR_ARCH -u PELMAR_WINES "${installed[@]}" | grep RUN_ARCH)|$(
        PELMAR_ARCH=i686 "${installed[@]}" 2>&1 | grep -o '^FAILED: [^:]*'
    )"

fonts="$tmp/prefix/drive_c/windows/Fonts"
mkdir -p "$fonts" "$tmp/wine-fonts"
ln -s /nowhere/tahoma.ttf "$fonts/tahoma.ttf"
touch "$tmp/wine-fonts/tahoma.ttf"
check "a dangling font link is made anew" "$tmp/wine-fonts/tahoma.ttf" \
    "$(lib wine 'pelmar_link_wine_fonts "$1" "$2"
        readlink "$1/drive_c/windows/Fonts/tahoma.ttf"' "$tmp/prefix" "$tmp/wine-fonts")"

# Stand-ins that fail or hang: each stops its step, naming it and why.
printf '#!/bin/sh\necho "no screens here" >&2\nexit 1\n' >"$tmp/bin/Xvfb"
printf '#!/bin/sh\n[ "$1" = --version ] && echo wine-0 && exit 0\nsleep 60\n' >"$tmp/bin/wine"
printf '#!/bin/sh\necho "CPack Error: no generator" >&2\nexit 1\n' >"$tmp/bin/cpack"
chmod +x "$tmp/bin"/*
out=$(lib "" 'PELMAR_XVFB=1 pelmar_start_display
    echo started')
check "a display that cannot start stops the script, naming it" "status=1 said=yes" \
    "status=$? said=$(said 'FAILED: starting the virtual display: Xvfb gave no display' "$out")"
out=$(PELMAR_WINE_TIMEOUT=2 lib wine 'pelmar_make_prefix "$1"
    echo made' "$tmp/hung")
check "a Wine step that hangs stops at its bound, naming the step" "status=1 said=yes" \
    "status=$? said=$(said "FAILED: Wine's first start in the Wine prefix $tmp/hung: it did not \
end within 2 s" "$out")"
mkdir -p "$tmp/build"
touch "$tmp/build/CPackConfig.cmake"
out=$(bash "$root/scripts/package.sh" --reproducible 2>&1)
check "a cpack that fails fails the reproducibility check at once" \
    "status=1 said=yes reproducible=no" \
    "status=$? said=$(said "FAILED: packaging $tmp/build: cpack ended with status 1" "$out")\
 reproducible=$(said Reproducible "$out")"

# Which build each Wine runs: the twin without 32-bit code, WoW64 skipped with its reason;
# this system's Wine on the twin where its wine32 cannot be had.
plan=$(cd "$root/scripts" && env -u PELMAR_WINES -u PELMAR_ARCH python3 -c 'import wines
wines.runs_i386 = lambda: False
plan = wines.plan("bookworm")
print("|".join(w["name"] + " " + str(w["arch"]) for w in plan), plan[2]["why"][:36])
mine = wines.plan("bookworm", own_arch="x86_64")
print(wines.assignments(mine)["PELMAR_BUILDS"], [w["arch"] for w in mine if not w["own"]])
for b in wines.assignments(plan), wines.assignments(plan, demo=True):
    print(b["PELMAR_BUILDS"] + ", tests " + (b["PELMAR_TEST_BUILDS"] or "none"), end="|")')
check "no 32-bit code: the classic Wines run the twin, WoW64 is skipped, saying why" \
    "wine8 x86_64|wine10 x86_64|wow64 None this machine runs no 32-bit x86 code" \
    "$(head -n 1 <<<"$plan")"
check "no wine32 to be had: this system's Wine alone turns to the twin" \
    "i686 x86_64 ['x86_64', None]" "$(sed -n 2p <<<"$plan")"
check "no 32-bit code: players' i686 build without its tests; the demo builds the twin alone" \
    "i686 x86_64, tests x86_64|x86_64, tests none|" "$(tail -n 1 <<<"$plan")"

# The compiler cache: a fresh clone at another path compiles from it, and a clone with a
# changed header is compiled anew, its program saying the new value.
mkdir "$tmp/clone"
printf '%s\n' 'cmake_minimum_required(VERSION 3.22)' 'project(say CXX)' \
    'add_executable(say say.cpp)' >"$tmp/clone/CMakeLists.txt"
printf '%s\n' '#include <cstdio>' '#include "value.h"' 'int main() { std::puts(VALUE); }' \
    >"$tmp/clone/say.cpp"
echo '#define VALUE "old"' >"$tmp/clone/value.h"
cp -r "$tmp/clone" "$tmp/again"
cp -r "$tmp/clone" "$tmp/changed"
echo '#define VALUE "new"' >"$tmp/changed/value.h"
cached=$(
    command -v ccache >/dev/null || echo "ccache is not installed"
    for clone in clone again changed; do
        CCACHE_DIR="$tmp/ccache" lib build 'PELMAR_ROOT="$1" pelmar_build_tree "$1/b" "" Release ""
            "$1/b/say"
            ccache --print-stats | awk "/^(direct|preprocessed)_cache_hit/ { n += \$2 }
                END { print n }"
            ' "$tmp/$clone" | grep -v '^-- ' | tr '\n' ' '
    done
)
check "a fresh clone builds from the compiler cache, a changed header anew" \
    "old 0 old 1 new 1 " "$cached"

# A root that cannot be made: three tries, the last from the release's main suite alone,
# then a stop that names the release.
printf '#!/bin/sh\necho "$*" >>"$STANDIN/mmdebstrap"\nexit 1\n' >"$tmp/bin/mmdebstrap"
printf '#!/bin/sh\nexit 0\n' >"$tmp/bin/bwrap"
chmod +x "$tmp/bin/mmdebstrap" "$tmp/bin/bwrap"
: >"$STANDIN/mmdebstrap"
out=$(
    eval "$(PELMAR_WINES=wine10 python3 "$root/scripts/wines.py" plan bookworm)"
    export PELMAR_PLAN XDG_CACHE_HOME="$tmp/cache"
    env -u PELMAR_ARCH python3 "$root/scripts/roots.py" wine10 -- true 2>&1
)
status=$?
check "a root that cannot be made: three tries, the last from the main suite, then a stop" \
    "status=1 tries=3 main-only=1 said=yes" \
    "status=$status tries=$(wc -l <"$STANDIN/mmdebstrap")\
 main-only=$(grep -c ' trixie main$' "$STANDIN/mmdebstrap")\
 said=$(said 'FAILED: making the Debian trixie root for wine10' "$out")"

# A GoogleTest run passes on its closing line with a test passed: one whose filter matched
# nothing, one that ended with 0 before its checks, and one that crashed after them (its
# status said by cmake/run-test) fail; the last is one the rerun rule runs once more.
mkdir "$tmp/verdict"
cat >"$tmp/verdict/CMakeLists.txt" <<'PROJECT'
cmake_minimum_required(VERSION 3.22)
project(verdict NONE)
include(${PELMAR_ROOT}/cmake/gtest-verdict.cmake)
enable_testing()
set(run ${PELMAR_ROOT}/cmake/run-test sh -c)
set(ran "[==========] 1 test from 1 test suite ran.")
set(say "printf '%s\\n'")
add_test(NAME good COMMAND ${run} "${say} '[       OK ] A.B' '${ran}' '[  PASSED  ] 1 test.'")
add_test(NAME nothing COMMAND ${run} "${say} '[==========] 0 tests ran.' '[  PASSED  ] 0 tests.'")
add_test(NAME early COMMAND ${run} "${say} '[ RUN      ] A.B'")
add_test(NAME crashed COMMAND ${run} "${say} '[       OK ] A.B' '[  PASSED  ] 1 test.'; exit 3")
pelmar_gtest_verdict(good nothing early crashed)
PROJECT
limit=$(sed -n 's/^SETUP_STEP=//p' "$root/tests/time-limits.env")
timeout "$limit" cmake -S "$tmp/verdict" -B "$tmp/verdict/build" -DPELMAR_ROOT="$root" >/dev/null
timeout "$limit" ctest --test-dir "$tmp/verdict/build" --output-junit "$tmp/verdict.xml" \
    >/dev/null 2>&1
verdict=$(cd "$root/scripts" && python3 -c 'import sys, verdict
counts, failed = verdict.results(sys.argv[1])
print(counts["tests"], sorted(failed), verdict.crashed_on_exit(failed.get("crashed", "")))
' "$tmp/verdict.xml")
check "no test run, an early exit 0, a crash after passing: each fails; the crash runs again" \
    "4 ['crashed', 'early', 'nothing'] True" "$verdict"

# Only a test whose checks all passed and whose process then failed runs once more; a
# quarantine entry holds until its date.
printf '%s\n' '# a comment' 'wine10 a.Crash 2999-01-01 seen crashing' \
    'wine10 b.Old 2000-01-01 long gone' >"$tmp/quarantine.txt"
rerun=$(cd "$root/scripts" && python3 -c 'import sys, verdict, wines
wines.SCRIPTS = __import__("pathlib").Path(sys.argv[1])
crashed = verdict.crashed_on_exit
print(crashed("[ RUN      ] A.B\n[       OK ] A.B\n[  PASSED  ] 1 test.\n"),
      crashed("[  FAILED  ] A.B\n[  PASSED  ] 0 tests.\n"), crashed("Timeout"),
      list(verdict.quarantine("wine10")), list(verdict.quarantine("wine8")))' "$tmp")
check "a crash after passing runs once more, a failed check does not; quarantine until its date" \
    "True False False ['a.Crash'] []" "$(tail -n 1 <<<"$rerun")"

echo "setup: $passed passed, $failed failed"
[ "$failed" = 0 ]
