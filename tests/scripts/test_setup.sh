#!/usr/bin/env bash
# The set-up's answers to a bad package mirror, with stand-ins for apt-get, apt-cache,
# dpkg and dpkg-query on the PATH (no network, nothing installed); a prefix's dangling font
# link made anew; a display that cannot start; which build each Wine runs; a root that
# cannot be made.
# shellcheck disable=SC2016 # the stand-ins and the bash -c bodies expand when they run
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/bin"
cat >"$tmp/bin/apt-get" <<'STANDIN'
#!/bin/sh
echo "$*" >>"$STANDIN/log"
case "$*" in
    *update*) exit "$(cat "$STANDIN/update_rc")" ;;
    *" -s "*) case "$*" in *wine32:i386*) [ -e "$STANDIN/no_i386" ] &&
                  { echo "wine32:i386 : Depends: libwine:i386 but it is not installable"; exit 100; } ;; esac ;;
    *) [ -e "$STANDIN/install_fails" ] && exit 100
       for pkg in "$@"; do case "$pkg" in -*|install) ;; *) echo "$pkg" >>"$STANDIN/installed" ;; esac; done ;;
esac
exit 0
STANDIN
printf '#!/bin/sh\ngrep -qx "$3" "$STANDIN/installed" && printf "install ok installed"\n' >"$tmp/bin/dpkg-query"
printf '#!/bin/sh\necho "  Depends: clang-99"\n' >"$tmp/bin/apt-cache"
printf '#!/bin/sh\nexec "$@"\n' >"$tmp/bin/sudo"
printf '#!/bin/sh\necho "dpkg $*" >>"$STANDIN/log"\n' >"$tmp/bin/dpkg"
chmod +x "$tmp/bin"/*

# Runs the set-up on a machine that runs 32-bit code, PELMAR_ARCH as given (empty: let it
# choose); prints what it did and whether it said the given words.
setup() {
    local arch="$1" words="$2" update_rc="$3" flags="$4" out status
    export STANDIN="$tmp/state"
    rm -rf "$STANDIN" && mkdir "$STANDIN" && touch "$STANDIN/installed" "$STANDIN/log"
    echo "$update_rc" >"$STANDIN/update_rc"
    for flag in $flags; do touch "$STANDIN/$flag"; done
    out=$(env -u PELMAR_ARCH -u PELMAR_ROOTS -u PELMAR_TWIN_NEEDED ${arch:+PELMAR_ARCH=$arch} PATH="$tmp/bin:$PATH" PELMAR_BUILD="$tmp/build" PELMAR_APT_PAUSE=0 \
          bash -c 'source "$1/scripts/lib/env.sh"; pelmar_init arch packages
                   pelmar_runs_i386() { return 0; }
                   pelmar_choose_arch
                   PELMAR_CHECKS=1 pelmar_setup
                   echo "arch=$PELMAR_ARCH"' _ "$root" 2>&1)
    status=$?
    echo "status=$status updates=$(grep -c '^update' "$STANDIN/log")" \
         "$(grep -o 'arch=.*' <<<"$out" || echo arch=none)" \
         "wine32=$(grep -cx 'wine32:i386' "$STANDIN/installed") wine64=$(grep -cx wine64 "$STANDIN/installed")" \
         "said=$(grep -qF "$words" <<<"$out" && echo yes || echo no)"
}

passed=0 failed=0
check() {
    local name="$1" want="$2" got="$3"
    if [ "$got" = "$want" ]; then passed=$((passed + 1))
    else failed=$((failed + 1)); echo "FAILED $name: got '$got', want '$want'" >&2; fi
}

check "good mirror: the 32-bit Wine is installed" \
    "status=0 updates=1 arch=i686 wine32=1 wine64=0 said=no" \
    "$(setup "" "cannot install" 0 "")"
check "index half-synced, 32-bit Wine not installable: retried, then the x86_64 twin, loudly" \
    "status=0 updates=3 arch=x86_64 wine32=0 wine64=1 said=yes" \
    "$(setup "" "This machine runs 32-bit code, but apt cannot install the 32-bit Wine" 100 no_i386)"
check "PELMAR_ARCH=i686 insists: stops and names the way out" \
    "status=1 updates=3 arch=none wine32=0 wine64=0 said=yes" \
    "$(setup i686 "or use PELMAR_ARCH=x86_64, which needs no i386 package" 100 no_i386)"
check "install fails: stops and says to wait for the mirror" \
    "status=1 updates=1 arch=none wine32=0 wine64=0 said=yes" \
    "$(setup x86_64 "wait a while for the mirror and run again" 0 install_fails)"

# dev-test.sh installs nothing: with wine32 not installed it takes the twin, or stops when
# PELMAR_ARCH=i686 insists.
arch_without_setup() {
    local out
    export STANDIN="$tmp/state"
    mkdir -p "$STANDIN" && : >"$STANDIN/installed"
    out=$(env -u PELMAR_ARCH ${1:+PELMAR_ARCH=$1} PATH="$tmp/bin:$PATH" PELMAR_BUILD="$tmp/build" \
          bash -c 'source "$1/scripts/lib/env.sh"; pelmar_init arch packages; pelmar_runs_i386() { return 0; }
                   pelmar_choose_arch; pelmar_use_installed_wine; echo "$PELMAR_ARCH"' _ "$root" 2>/dev/null)
    echo "status=$? $out"
}
check "no wine32 and nothing installed: the twin, or a stop when i686 insists" \
    "status=0 x86_64, status=1 " "$(arch_without_setup ""), $(arch_without_setup i686)"

fonts="$tmp/prefix/drive_c/windows/Fonts"
mkdir -p "$fonts" "$tmp/wine-fonts" && ln -s /nowhere/tahoma.ttf "$fonts/tahoma.ttf" && touch "$tmp/wine-fonts/tahoma.ttf"
check "a dangling font link is made anew" "$tmp/wine-fonts/tahoma.ttf" \
    "$(bash -c 'source "$1/scripts/lib/env.sh"; pelmar_init wine; pelmar_link_wine_fonts "$2" "$3" 2>/dev/null
               readlink "$2/drive_c/windows/Fonts/tahoma.ttf"' _ "$root" "$tmp/prefix" "$tmp/wine-fonts")"

# An Xvfb that ends at once: the display step stops the script and names the display.
printf '#!/bin/sh\necho "no screens here" >&2\nexit 1\n' >"$tmp/bin/Xvfb" && chmod +x "$tmp/bin/Xvfb"
check "a display that cannot start stops the script, naming it" "status=1 said=yes" \
    "$(out=$(PATH="$tmp/bin:$PATH" bash -c 'source "$1/scripts/lib/env.sh"; pelmar_init display
                set -e; pelmar_stop_lists; PELMAR_XVFB=1 pelmar_start_display; echo started' _ "$root" 2>&1)
       echo "status=$? said=$(grep -qE '^FAILED: starting the virtual display :[0-9]+: Xvfb ended at once' <<<"$out" && echo yes || echo no)")"

# Which build each Wine runs: the twin without 32-bit code, and WoW64 skipped with its reason.
plan=$(env -u PELMAR_WINES -u PELMAR_ARCH_FORCED PELMAR_ARCH=x86_64 PELMAR_RUNS_I386=0 python3 "$root/scripts/wines.py" plan)
check "no 32-bit code: the classic Wines run the twin, WoW64 is skipped, saying why" \
    "wine8 x86_64|wine10 x86_64|wow64 - 1" \
    "$(awk '{print $1, $2}' <<<"$plan" | paste -sd'|') $(grep -c '^wow64 - root this machine runs no 32-bit x86 code' <<<"$plan")"

# A root that cannot be made: three tries, the last from the release's main suite alone,
# then a stop that names the release.
printf '#!/bin/sh\necho "$*" >>"$STANDIN/mmdebstrap"\nexit 1\n' >"$tmp/bin/mmdebstrap"
printf '#!/bin/sh\nexit 0\n' >"$tmp/bin/bwrap"
chmod +x "$tmp/bin/mmdebstrap" "$tmp/bin/bwrap"
export STANDIN="$tmp/state"
mkdir -p "$STANDIN" && : >"$STANDIN/mmdebstrap"
out=$(env -u PELMAR_ARCH_FORCED PATH="$tmp/bin:$PATH" XDG_CACHE_HOME="$tmp/cache" PELMAR_APT_PAUSE=0 \
      PELMAR_RUNS_I386=1 python3 "$root/scripts/wines.py" root wine10 2>&1)
check "a root that cannot be made: three tries, the last from the main suite, then a stop naming it" \
    "status=1 tries=3 main-only=1 said=yes" \
    "status=$? tries=$(wc -l <"$STANDIN/mmdebstrap") main-only=$(grep -c ' trixie main$' "$STANDIN/mmdebstrap") said=$(grep -q '^FAILED: making the Debian trixie root for wine10' <<<"$out" && echo yes || echo no)"

# A suite's failures: one to three, none timed out, are run once more; the closing line names
# those that passed then.
junit() {  # a JUnit file of ctest's with the given <testcase> bodies
    printf '<testsuite tests="4" failures="%s" disabled="0" skipped="0">%s</testsuite>' "$1" "$2" >"$tmp/junit.xml"
}
crash='<testcase name="a.Crash" status="fail"><failure message="SEGFAULT"/></testcase>'
assertion='<testcase name="b.Check" status="fail"><failure message="Failed"/></testcase>'
timeout='<testcase name="c.Slow" status="fail"><failure message="Timeout"/></testcase>'
again() {
    (cd "$root/scripts" && PYTHONDONTWRITEBYTECODE=1 python3 -c 'import sys, wines
retry = wines.worth_running_again(list(wines.failed_cases(sys.argv[1])))
print(retry, wines.counts(sys.argv[1], retry))' "$tmp/junit.xml")
}
junit 2 "$crash$assertion"; two=$(again)
junit 2 "$assertion$timeout"; with_timeout=$(again)
junit 4 "$crash$assertion$crash$assertion"; four=$(again)
check "one to three failures, none timed out, are run once more and named" \
    "['a.Crash', 'b.Check'] 4 ran, 4 passed (2 only when run again, alone: a.Crash, b.Check), 0 failed, 0 skipped|[]|[]" \
    "$two|${with_timeout%% *}|${four%% *}"

echo "setup: $passed passed, $failed failed"
[ "$failed" = 0 ]
