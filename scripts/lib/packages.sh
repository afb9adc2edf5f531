# shellcheck shell=bash
# What the commands install with apt, by Debian's package names, and the install itself: a
# mirror caught mid-sync gets more tries. Needs env.sh and arch.sh.
# shellcheck disable=SC2034 # what is set here is read by the scripts that source it

# The i686 cross compiler is always needed: build/Pelmar.exe is made on every machine.
PELMAR_BASE_PACKAGES=(cmake make g++ googletest g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
                      binutils-mingw-w64-i686 xvfb xauth imagemagick python3)
# The test command's fuzzing, static analysis and shell check; libFuzzer's runtime is
# packaged per clang version, so its name is taken from the clang this distribution has.
PELMAR_CHECK_PACKAGES=(clang cppcheck clang-tidy shellcheck)
# This system's Wine, for each build (wine32:i386 is the part that runs 32-bit programs);
# the twin's cross compilers apart, as a Wine of a root may need them where this system's
# Wine is not used.
PELMAR_I686_PACKAGES=(wine wine32:i386 fonts-wine)
PELMAR_X86_64_PACKAGES=(wine64 fonts-wine)
PELMAR_TWIN_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
# Wines of other releases run in roots made with mmdebstrap, entered with bwrap.
PELMAR_ROOT_TOOLS=(mmdebstrap bubblewrap)

# Runs a command up to TRIES times, PELMAR_APT_PAUSE (5) seconds apart, saying each miss.
pelmar_retry() {
    local tries="$1" what="$2" try
    shift 2
    for try in $(seq 1 "$tries"); do
        "$@" && return 0
        [ "$try" -lt "$tries" ] || break
        echo "$what failed (try $try of $tries); trying again in ${PELMAR_APT_PAUSE:-5} s." >&2
        sleep "${PELMAR_APT_PAUSE:-5}"
    done
    return 1
}

pelmar_fuzz_runtime_package() {
    local version
    version=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)
    [ -z "$version" ] || echo "libclang-rt-$version-dev"
}

# The packages of the command: base, the checks when PELMAR_CHECKS=1, this system's Wine for
# PELMAR_ARCH (none when it is empty: packaging needs no Wine, nor does a test run whose
# Wines all come from roots), the twin's compilers for PELMAR_ARCH=x86_64 or
# PELMAR_TWIN_NEEDED=1, the root tools when PELMAR_ROOTS=1.
pelmar_packages() {
    printf '%s\n' "${PELMAR_BASE_PACKAGES[@]}"
    if [ "${PELMAR_CHECKS:-0}" = 1 ]; then
        printf '%s\n' "${PELMAR_CHECK_PACKAGES[@]}"
        pelmar_fuzz_runtime_package
    fi
    case "${PELMAR_ARCH:-}" in
        i686) printf '%s\n' "${PELMAR_I686_PACKAGES[@]}" ;;
        x86_64) printf '%s\n' "${PELMAR_X86_64_PACKAGES[@]}" "${PELMAR_TWIN_PACKAGES[@]}" ;;
    esac
    [ "${PELMAR_TWIN_NEEDED:-0}" = 0 ] || printf '%s\n' "${PELMAR_TWIN_PACKAGES[@]}"
    [ "${PELMAR_ROOTS:-0}" = 0 ] || printf '%s\n' "${PELMAR_ROOT_TOOLS[@]}"
}

pelmar_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

pelmar_missing_packages() {
    local pkg
    for pkg in $(pelmar_packages | sort -u); do
        pelmar_installed "$pkg" || echo "$pkg"
    done
}

# Installs what is missing. Where 32-bit code runs but apt cannot install the 32-bit Wine,
# the x86_64 twin is tested instead (pelmar_fall_back_to_twin).
pelmar_setup() {
    local sudo="" missing log
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    missing=$(pelmar_missing_packages | tr '\n' ' ')
    [ -n "$missing" ] || return 0
    if [ "${PELMAR_ARCH:-}" = i686 ] && ! pelmar_installed wine32:i386; then
        $sudo dpkg --add-architecture i386 || pelmar_fail "setting up" "dpkg --add-architecture i386 failed"
    fi
    # A mirror mid-sync serves an index of the wrong size for a while; the packages may
    # still be there, so go on with the lists that did come.
    pelmar_retry 3 "apt-get update" $sudo apt-get update -q ||
        echo "apt-get update failed 3 times: going on with the package lists that did come." >&2
    if [ "${PELMAR_ARCH:-}" = i686 ] && ! pelmar_installed wine32:i386; then
        log=$(mktemp)
        if ! $sudo apt-get install -s -q "${PELMAR_I686_PACKAGES[@]}" >"$log" 2>&1; then
            tail -n 5 "$log" >&2
            rm -f "$log"
            pelmar_fall_back_to_twin "apt cannot install the 32-bit Wine (wine32:i386, apt's words above; the mirror may be mid-sync)" "Wait for the package mirror to finish syncing and run again"
        fi
        rm -f "$log"
    fi
    # Again: the architecture may have changed, and libFuzzer's runtime is named only now.
    missing=$(pelmar_missing_packages | tr '\n' ' ')
    [ -n "$missing" ] || return 0
    echo "Installing: $missing"
    # shellcheck disable=SC2086 # one word a package
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing ||
        pelmar_fail "installing packages" "apt could not install: $missing(apt's words above). If apt spoke of sizes, hashes or a mirror sync, wait a while for the mirror and run again; where i386 packages fail, PELMAR_ARCH=x86_64 needs none."
}
