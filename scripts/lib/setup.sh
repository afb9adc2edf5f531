# shellcheck shell=bash
# The plan of scripts/wines.py, read once, and what the commands install with apt.
# shellcheck disable=SC2034,SC2086 # read by the sourcing scripts; the lists are one word a package

# The groups of pelmar_setup (scripts/README.md says why each is there); "compilers" (those
# of the builds PELMAR_BUILDS) and "wine" are the plan's.
PELMAR_PACKAGES_demo="cmake make xvfb xauth imagemagick python3"
PELMAR_PACKAGES_tests="g++ googletest ccache locales bubblewrap git ca-certificates"
PELMAR_PACKAGES_checks="clang cppcheck clang-tidy shellcheck black shfmt"
PELMAR_PACKAGES_roots="mmdebstrap bubblewrap"
PELMAR_PACKAGES_i686="g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686"
PELMAR_PACKAGES_x86_64="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    binutils-mingw-w64-x86-64"

# pelmar_plan [ARGS of wines.py plan]: PELMAR_RUN_ARCH (the build this system's Wine runs),
# PELMAR_ARCH_REASON, PELMAR_BUILDS, PELMAR_TEST_BUILDS (those whose tests run),
# PELMAR_WINE_PACKAGES and PELMAR_PLAN (exported).
pelmar_plan() {
    local plan release
    release=$(pelmar_os_release VERSION_CODENAME)
    PELMAR_PLAN_ARGS=("$@")
    plan=$(python3 "$PELMAR_ROOT/scripts/wines.py" plan "${release:-unknown}" "$@")
    eval "$plan"
    export PELMAR_PLAN
}

# Where this system's 32-bit Wine cannot be installed ($1: why), the plan is made once more
# with that fact: the twin runs under it. PELMAR_ARCH=i686 stops, with the way out ($2).
pelmar_fall_back_to_twin() {
    [ "${PELMAR_ARCH:-}" != i686 ] ||
        pelmar_fail "choosing the Windows build" "PELMAR_ARCH=i686 asks for the 32-bit Windows \
programs, but $1. $2, or use PELMAR_ARCH=x86_64, which needs no i386 package."
    local bar="##########################################################################"
    printf '%s\n' "$bar" "# This machine runs 32-bit code, but $1." \
        "# Testing the x86_64 twin under wine64 instead: the 32-bit Pelmar.exe is built, not run." \
        "$bar" >&2
    pelmar_plan ${PELMAR_PLAN_ARGS[@]+"${PELMAR_PLAN_ARGS[@]}"} --own-arch x86_64
}

pelmar_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# The missing packages of the groups.
pelmar_missing_packages() {
    local group list arch pkg
    for group; do
        case "$group" in
            wine) printf '%s\n' $PELMAR_WINE_PACKAGES ;;
            compilers)
                for arch in ${PELMAR_BUILDS:-i686}; do
                    list="PELMAR_PACKAGES_$arch"
                    printf '%s\n' ${!list}
                done
                ;;
            *)
                list="PELMAR_PACKAGES_$group"
                printf '%s\n' ${!list}
                ;;
        esac
        if [ "$group" = checks ]; then
            apt-cache depends clang 2>/dev/null |
                sed -n 's/^ *Depends: clang-\([0-9]*\)$/libclang-rt-\1-dev/p' | head -n 1
        fi
    done | sort -u | while read -r pkg; do pelmar_installed "$pkg" || echo "$pkg"; done
}

# pelmar_setup GROUP...: installs what is missing of the groups.
pelmar_setup() {
    local sudo="" missing
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    missing=$(pelmar_missing_packages "$@" | tr '\n' ' ')
    [ -n "${missing// /}" ] || return 0
    if [[ " $missing " == *" wine32:i386 "* ]]; then
        pelmar_step "adding the i386 architecture" "$PELMAR_LIMIT_APT_STEP" \
            $sudo dpkg --add-architecture i386
    fi
    # A mirror mid-sync serves a bad index for a while; the packages may be there all the same.
    pelmar_retry 3 "apt-get update" "$PELMAR_LIMIT_APT_UPDATE" $sudo apt-get update -q ||
        echo "apt-get update failed 3 times: going on with the package lists that did come." >&2
    if [[ " $missing " == *" wine32:i386 "* ]] &&
        ! timeout -k 10 "$PELMAR_LIMIT_APT_STEP" $sudo apt-get install -s -q \
            $PELMAR_WINE_PACKAGES >/dev/null 2>&1; then
        pelmar_fall_back_to_twin \
            "apt cannot install the 32-bit Wine (wine32:i386; the mirror may be mid-sync)" \
            "Wait for the package mirror to finish syncing and run again"
    fi
    # Again: the build may have changed, and libFuzzer's runtime is named only now.
    missing=$(pelmar_missing_packages "$@" | tr '\n' ' ')
    [ -n "${missing// /}" ] || return 0
    echo "Installing: $missing"
    DEBIAN_FRONTEND=noninteractive timeout -k 10 "$PELMAR_LIMIT_APT_INSTALL" \
        $sudo apt-get install -y -q --no-install-recommends $missing ||
        pelmar_fail "installing packages" "apt could not install: $missing(apt's words above; \
status $?). If apt spoke of sizes, hashes or a mirror sync, wait a while for the mirror and run \
again; where i386 packages fail, PELMAR_ARCH=x86_64 needs none."
}
