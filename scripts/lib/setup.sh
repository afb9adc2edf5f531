# shellcheck shell=bash
# Which Windows build this system's Wine runs, and what the commands install with apt.
# shellcheck disable=SC2034,SC2086 # read by the sourcing scripts; the lists are one word a package

# The groups of pelmar_setup (scripts/README.md says why each is there).
PELMAR_PACKAGES_base="cmake make g++ googletest g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
    binutils-mingw-w64-i686 xvfb xauth imagemagick locales python3 bubblewrap git ca-certificates"
PELMAR_PACKAGES_checks="clang cppcheck clang-tidy shellcheck"
PELMAR_PACKAGES_wine_i686="wine wine32:i386 fonts-wine"
PELMAR_PACKAGES_wine_x86_64="wine64 fonts-wine"
PELMAR_PACKAGES_twin="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64"
PELMAR_PACKAGES_roots="mmdebstrap"

# PELMAR_RUN_ARCH := i686 where this machine runs 32-bit x86 code (tools/i386-probe exits
# with 42; qemu-user would run it, not wine32), else x86_64; PELMAR_ARCH decides where
# given. PELMAR_ARCH_REASON says why.
pelmar_choose_arch() {
    local runs=0 status=0
    compgen -G "/proc/sys/fs/binfmt_misc/qemu-i[3-6]86" >/dev/null || "$PELMAR_ROOT/tools/i386-probe" 2>/dev/null || status=$?
    [ "$status" != 42 ] || runs=1
    PELMAR_OWN_ARCH_ARGS=()
    case "${PELMAR_ARCH:-}:$runs" in
        :1) PELMAR_RUN_ARCH=i686 PELMAR_ARCH_REASON="this machine runs 32-bit x86 code" ;;
        :0) PELMAR_RUN_ARCH=x86_64 PELMAR_ARCH_REASON="this machine runs no 32-bit x86 code (a tiny i386 program was refused), so wine32 cannot start; the same sources are built for x86_64 and run under wine64" ;;
        i686:0) pelmar_fail "choosing the Windows build" "PELMAR_ARCH=i686 asks for the 32-bit Windows programs, but this machine runs no 32-bit x86 code (a tiny i386 program was refused). Use PELMAR_ARCH=x86_64, or leave PELMAR_ARCH unset." ;;
        i686:1|x86_64:*) PELMAR_RUN_ARCH=$PELMAR_ARCH PELMAR_ARCH_REASON="PELMAR_ARCH=$PELMAR_ARCH asked for it" ;;
        *) pelmar_fail "choosing the Windows build" "PELMAR_ARCH must be i686 or x86_64, not '$PELMAR_ARCH'." ;;
    esac
}

# Where this system's 32-bit Wine cannot be had ($1: why), the twin runs under it instead;
# PELMAR_ARCH=i686 stops, with the way out ($2).
pelmar_fall_back_to_twin() {
    [ "${PELMAR_ARCH:-}" != i686 ] ||
        pelmar_fail "choosing the Windows build" "PELMAR_ARCH=i686 asks for the 32-bit Windows programs, but $1. $2, or use PELMAR_ARCH=x86_64, which needs no i386 package."
    local bar="##########################################################################"
    printf '%s\n' "$bar" "# This machine runs 32-bit code, but $1." \
        "# Testing the x86_64 twin under wine64 instead: the 32-bit Pelmar.exe is built, not run, here." "$bar" >&2
    PELMAR_RUN_ARCH=x86_64 PELMAR_OWN_ARCH_ARGS=(--own-arch x86_64)
    PELMAR_ARCH_REASON="this machine runs 32-bit x86 code, but $1; the same sources are built for x86_64 and run under wine64"
}

# For commands that install nothing (dev-test.sh): the twin where wine32 is not installed.
pelmar_use_installed_wine() {
    [ "${PELMAR_RUN_ARCH:-i686}" = x86_64 ] || pelmar_installed wine32:i386 ||
        pelmar_fall_back_to_twin "the 32-bit Wine (wine32:i386) is not installed" "bash scripts/test.sh installs it"
}

pelmar_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# The missing packages of the groups; "wine" is this system's for PELMAR_RUN_ARCH.
pelmar_missing_packages() {
    local group list pkg
    for group; do
        list="PELMAR_PACKAGES_$group"
        [ "$group" != wine ] || list="PELMAR_PACKAGES_wine_${PELMAR_RUN_ARCH:-i686}"
        printf '%s\n' ${!list}
        [ "$group:${PELMAR_RUN_ARCH:-i686}" != wine:x86_64 ] || printf '%s\n' $PELMAR_PACKAGES_twin
        [ "$group" != checks ] || apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9]*\)$/libclang-rt-\1-dev/p' | head -n 1
    done | sort -u | while read -r pkg; do pelmar_installed "$pkg" || echo "$pkg"; done
}

# pelmar_setup GROUP...: installs what is missing of the groups.
pelmar_setup() {
    local sudo="" missing try
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    missing=$(pelmar_missing_packages "$@" | tr '\n' ' ')
    [ -n "${missing// /}" ] || return 0
    [[ " $missing " != *" wine32:i386 "* ]] || pelmar_step "adding the i386 architecture" 60 $sudo dpkg --add-architecture i386
    # A mirror mid-sync serves a bad index for a while; the packages may be there all the same.
    for try in 1 2 3; do
        timeout -k 10 300 $sudo apt-get update -q && break
        [ "$try" != 3 ] || { echo "apt-get update failed 3 times: going on with the package lists that did come." >&2; break; }
        echo "apt-get update failed (try $try of 3); trying again in ${PELMAR_APT_PAUSE:-5} s." >&2
        sleep "${PELMAR_APT_PAUSE:-5}"
    done
    if [[ " $missing " == *" wine32:i386 "* ]] && ! timeout -k 10 120 $sudo apt-get install -s -q $PELMAR_PACKAGES_wine_i686 >/dev/null 2>&1; then
        pelmar_fall_back_to_twin "apt cannot install the 32-bit Wine (wine32:i386; the mirror may be mid-sync)" "Wait for the package mirror to finish syncing and run again"
    fi
    # Again: the build may have changed, and libFuzzer's runtime is named only now.
    missing=$(pelmar_missing_packages "$@" | tr '\n' ' ')
    [ -n "${missing// /}" ] || return 0
    echo "Installing: $missing"
    DEBIAN_FRONTEND=noninteractive timeout -k 10 1800 $sudo apt-get install -y -q --no-install-recommends $missing ||
        pelmar_fail "installing packages" "apt could not install: $missing(apt's words above; status $?). If apt spoke of sizes, hashes or a mirror sync, wait a while for the mirror and run again; where i386 packages fail, PELMAR_ARCH=x86_64 needs none."
}
