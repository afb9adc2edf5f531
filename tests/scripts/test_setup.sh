#!/usr/bin/env bash
# The set-up's answers to a bad package mirror, with stand-ins for apt-get, apt-cache, dpkg
# and dpkg-query on the PATH (no network, nothing installed); a dangling font link made
# anew; a display that cannot start; which build each Wine runs; a root that cannot be made;
# which failed tests run once more; and steps that fail or hang stopping their check.
# shellcheck disable=SC2016 # the stand-ins and the bash -c bodies expand when they run
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/bin"
export STANDIN="$tmp/state" PATH="$tmp/bin:$PATH" PELMAR_BUILD="$tmp/build" PELMAR_APT_PAUSE=0
cat >"$tmp/bin/apt-get" <<'STANDIN'
#!/bin/sh
echo "$*" >>"$STANDIN/log"
case "$*" in
    *update*) exit "$(cat "$STANDIN/update_rc")" ;;
    *" -s "*) case "$*" in *wine32:i386*) [ -e "$STANDIN/no_i386" ] && exit 100 ;; esac ;;
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

passed=0 failed=0
check() {
    if [ "$3" = "$2" ]; then passed=$((passed + 1))
    else failed=$((failed + 1)); echo "FAILED $1: got '$3', want '$2'" >&2; fi
}
said() { grep -qF -- "$1" <<<"$2" && echo yes || echo no; }
# Runs bash code with the named scripts/lib files sourced, under set -e as the scripts do.
lib() {
    local libs="$1"
    shift
    bash -c 'set -euo pipefail; source "$0/scripts/lib/common.sh"; pelmar_init '"$libs"'; '"$1" "$root" "${@:2}" 2>&1
}

# The set-up on a machine that runs 32-bit code, PELMAR_ARCH as given (empty: its choice).
setup() {
    local arch="$1" words="$2" out status
    rm -rf "$STANDIN" && mkdir "$STANDIN" && touch "$STANDIN/installed" "$STANDIN/log"
    echo "$3" >"$STANDIN/update_rc"
    for flag in $4; do touch "$STANDIN/$flag"; done
    out=$(env -u PELMAR_ARCH ${arch:+PELMAR_ARCH=$arch} bash -c 'set -euo pipefail
          source "$0/scripts/lib/common.sh"; pelmar_init setup
          PELMAR_RUN_ARCH=${PELMAR_ARCH:-i686}; pelmar_setup base checks wine; echo "arch=$PELMAR_RUN_ARCH"' "$root" 2>&1)
    status=$?
    echo "status=$status updates=$(grep -c '^update' "$STANDIN/log") $(grep -o 'arch=.*' <<<"$out" || echo arch=none)" \
         "wine32=$(grep -cx 'wine32:i386' "$STANDIN/installed") wine64=$(grep -cx wine64 "$STANDIN/installed") said=$(said "$words" "$out")"
}
check "good mirror: the 32-bit Wine is installed" "status=0 updates=1 arch=i686 wine32=1 wine64=0 said=no" \
    "$(setup "" "cannot install" 0 "")"
check "index half-synced, 32-bit Wine not installable: retried, then the x86_64 twin, loudly" \
    "status=0 updates=3 arch=x86_64 wine32=0 wine64=1 said=yes" \
    "$(setup "" "This machine runs 32-bit code, but apt cannot install the 32-bit Wine" 100 no_i386)"
check "PELMAR_ARCH=i686 insists: stops and names the way out" "status=1 updates=3 arch=none wine32=0 wine64=0 said=yes" \
    "$(setup i686 "or use PELMAR_ARCH=x86_64, which needs no i386 package" 100 no_i386)"
check "install fails: stops and says to wait for the mirror" "status=1 updates=1 arch=none wine32=0 wine64=0 said=yes" \
    "$(setup x86_64 "wait a while for the mirror and run again" 0 install_fails)"
: >"$STANDIN/installed"
check "no wine32 and nothing installed: the twin, or a stop when i686 insists" "x86_64|FAILED: choosing the Windows build" \
    "$(lib setup 'PELMAR_RUN_ARCH=i686; pelmar_use_installed_wine 2>/dev/null; echo $PELMAR_RUN_ARCH')|$(
       PELMAR_ARCH=i686 lib setup 'PELMAR_RUN_ARCH=i686; pelmar_use_installed_wine' | grep -o '^FAILED: [^:]*')"

fonts="$tmp/prefix/drive_c/windows/Fonts"
mkdir -p "$fonts" "$tmp/wine-fonts" && ln -s /nowhere/tahoma.ttf "$fonts/tahoma.ttf" && touch "$tmp/wine-fonts/tahoma.ttf"
check "a dangling font link is made anew" "$tmp/wine-fonts/tahoma.ttf" \
    "$(lib wine 'pelmar_link_wine_fonts "$1" "$2"; readlink "$1/drive_c/windows/Fonts/tahoma.ttf"' "$tmp/prefix" "$tmp/wine-fonts")"

# Stand-ins that fail or hang: each stops its step, naming it and why.
printf '#!/bin/sh\necho "no screens here" >&2\nexit 1\n' >"$tmp/bin/Xvfb"
printf '#!/bin/sh\n[ "$1" = --version ] && echo wine-0 && exit 0\nsleep 60\n' >"$tmp/bin/wine"
printf '#!/bin/sh\necho "CPack Error: no generator" >&2\nexit 1\n' >"$tmp/bin/cpack"
chmod +x "$tmp/bin"/*
check "a display that cannot start stops the script, naming it" "status=1 said=yes" \
    "$(out=$(lib "" 'PELMAR_XVFB=1 pelmar_start_display; echo started'); echo "status=$? said=$(said 'FAILED: starting the virtual display: Xvfb gave no display' "$out")")"
check "a Wine step that hangs stops at its bound, naming the step" "status=1 said=yes" \
    "$(out=$(PELMAR_WINE_TIMEOUT=2 lib wine 'pelmar_make_prefix "$1"; echo made' "$tmp/hung"); echo "status=$? said=$(said "FAILED: Wine's first start in the Wine prefix $tmp/hung: it did not end within 2 s" "$out")")"
mkdir -p "$tmp/build" && touch "$tmp/build/CPackConfig.cmake"
check "a cpack that fails fails the reproducibility check at once" "status=1 said=yes reproducible=no" \
    "$(out=$(bash "$root/scripts/package.sh" --reproducible 2>&1); echo "status=$? said=$(said "FAILED: packaging $tmp/build: cpack ended with status 1" "$out") reproducible=$(said Reproducible "$out")")"

# Which build each Wine runs: the twin without 32-bit code, and WoW64 skipped with its reason.
plan=$(cd "$root/scripts" && env -u PELMAR_WINES -u PELMAR_ARCH PYTHONDONTWRITEBYTECODE=1 python3 -c 'import wines
wines.runs_i386 = lambda: False
print("|".join(w["name"] + " " + str(w["arch"]) for w in wines.chosen()), wines.chosen()[2]["why"][:36])')
check "no 32-bit code: the classic Wines run the twin, WoW64 is skipped, saying why" \
    "wine8 x86_64|wine10 x86_64|wow64 None this machine runs no 32-bit x86 code" "$plan"

# A root that cannot be made: three tries, the last from the release's main suite alone,
# then a stop that names the release.
printf '#!/bin/sh\necho "$*" >>"$STANDIN/mmdebstrap"\nexit 1\n' >"$tmp/bin/mmdebstrap"
printf '#!/bin/sh\nexit 0\n' >"$tmp/bin/bwrap"
chmod +x "$tmp/bin/mmdebstrap" "$tmp/bin/bwrap"
: >"$STANDIN/mmdebstrap"
out=$(env -u PELMAR_ARCH XDG_CACHE_HOME="$tmp/cache" python3 "$root/scripts/roots.py" wine10 -- true 2>&1)
check "a root that cannot be made: three tries, the last from the main suite, then a stop naming it" \
    "status=1 tries=3 main-only=1 said=yes" \
    "status=$? tries=$(wc -l <"$STANDIN/mmdebstrap") main-only=$(grep -c ' trixie main$' "$STANDIN/mmdebstrap") said=$(said 'FAILED: making the Debian trixie root for wine10' "$out")"

# Only a test whose checks all passed and whose process then failed runs once more; a
# quarantine entry holds until its date.
printf '%s\n' '# a comment' 'wine10 a.Crash 2999-01-01 seen crashing' 'wine10 b.Old 2000-01-01 long gone' >"$tmp/quarantine.txt"
rerun=$(cd "$root/scripts" && PYTHONDONTWRITEBYTECODE=1 python3 -c 'import sys, verdict, wines
wines.SCRIPTS = __import__("pathlib").Path(sys.argv[1])
print(verdict.crashed_on_exit("[ RUN      ] A.B\n[       OK ] A.B\n[  PASSED  ] 1 test.\n"),
      verdict.crashed_on_exit("[  FAILED  ] A.B\n[  PASSED  ] 0 tests.\n"), verdict.crashed_on_exit("Timeout"),
      list(verdict.quarantine("wine10")), list(verdict.quarantine("wine8")))' "$tmp")
check "a crash after passing runs once more, a failed check does not; quarantine until its date" \
    "True False False ['a.Crash'] []" "$(tail -n 1 <<<"$rerun")"

echo "setup: $passed passed, $failed failed"
[ "$failed" = 0 ]
