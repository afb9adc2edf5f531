# shellcheck shell=bash
# Which Windows build runs here: the 32-bit one players get (i686) where this machine runs
# 32-bit x86 code, else its x86_64 twin under wine64. Needs env.sh.
# shellcheck disable=SC2034 # what is set here is read by the scripts that source it

# A 96-byte i386 Linux program that exits with code 42 (mov ebx,42; mov eax,1; int 0x80).
# Running it is the whole test of whether this kernel runs 32-bit x86 code: where it does
# not, exec fails with "Exec format error", and so would wine32.
pelmar_runs_i386() {
    local probe="$PELMAR_BUILD/.i386-probe" status=0
    # An i386 binfmt handler (qemu-user) would run the probe but not wine32.
    if compgen -G "/proc/sys/fs/binfmt_misc/qemu-i[3-6]86" >/dev/null 2>&1; then
        return 1
    fi
    mkdir -p "$PELMAR_BUILD" || pelmar_fail "probing for 32-bit code" "cannot make $PELMAR_BUILD"
    printf '%b' \
'\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'\
'\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00'\
'\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' \
        >"$probe" || pelmar_fail "probing for 32-bit code" "cannot write $probe"
    chmod +x "$probe" || pelmar_fail "probing for 32-bit code" "cannot make $probe executable"
    "$probe" >/dev/null 2>&1 || status=$?
    rm -f "$probe"
    [ "$status" -eq 42 ]
}

# Sets PELMAR_ARCH (i686 or x86_64) and its tree, wine and wineserver (pelmar_use_arch), and
# PELMAR_ARCH_REASON, the words that say why. PELMAR_ARCH given by the developer overrides
# the choice (PELMAR_ARCH_FORCED=1); i686 stops at once where it cannot run.
pelmar_choose_arch() {
    local runs=0
    pelmar_runs_i386 && runs=1
    PELMAR_RUNS_I386=$runs
    PELMAR_ARCH_FORCED=0
    [ -z "${PELMAR_ARCH:-}" ] || PELMAR_ARCH_FORCED=1
    export PELMAR_RUNS_I386 PELMAR_ARCH_FORCED
    case "${PELMAR_ARCH:-}" in
        "")
            if [ "$runs" = 1 ]; then
                PELMAR_ARCH=i686
                PELMAR_ARCH_REASON="this machine runs 32-bit x86 code"
            else
                PELMAR_ARCH=x86_64
                PELMAR_ARCH_REASON="this machine runs no 32-bit x86 code (a tiny i386 program was refused), so wine32 cannot start; the same sources are built for x86_64 and run under wine64"
            fi ;;
        i686)
            [ "$runs" = 1 ] || pelmar_fail "choosing the Windows build" "PELMAR_ARCH=i686 asks for the 32-bit Windows programs, but this machine runs no 32-bit x86 code (a tiny i386 program was refused). Use PELMAR_ARCH=x86_64, or leave PELMAR_ARCH unset."
            PELMAR_ARCH_REASON="PELMAR_ARCH=i686 asked for it" ;;
        x86_64)
            PELMAR_ARCH_REASON="PELMAR_ARCH=x86_64 asked for it" ;;
        *)
            pelmar_fail "choosing the Windows build" "PELMAR_ARCH must be i686 or x86_64, not '$PELMAR_ARCH'." ;;
    esac
    pelmar_use_arch
}

# The tree, wine and wineserver of PELMAR_ARCH. Debian's /usr/bin/wine starts wine32 and its
# wineserver prefers wineserver64: the x86_64 twin names its binaries. Debian 12 and 13 put
# them in the same place; unstable's WoW64 Wine has no wineserver on the PATH.
pelmar_use_arch() {
    export PELMAR_ARCH
    if [ "$PELMAR_ARCH" = i686 ]; then
        PELMAR_ARCH_BUILD="$PELMAR_BUILD"
        PELMAR_WINE=wine
        PELMAR_WINESERVER=$(command -v wineserver || echo /usr/lib/x86_64-linux-gnu/wine/wineserver)
    else
        PELMAR_ARCH_BUILD="$PELMAR_BUILD/x86_64"
        PELMAR_WINE="$PELMAR_ROOT/cmake/wine64"
        PELMAR_WINESERVER=/usr/lib/wine/wineserver64
    fi
    export PELMAR_ARCH_BUILD
}

# Where 32-bit code runs but this system's 32-bit Wine cannot be had (why: the caller's
# words), the x86_64 twin is tested instead, as on a 64-bit-only machine; PELMAR_ARCH=i686
# stops instead, with the way out.
pelmar_fall_back_to_twin() {
    local why="$1" way_out="$2"
    [ "$PELMAR_ARCH_FORCED" = 0 ] ||
        pelmar_fail "choosing the Windows build" "PELMAR_ARCH=i686 asks for the 32-bit Windows programs, but $why. $way_out, or use PELMAR_ARCH=x86_64, which needs no i386 package."
    echo "##########################################################################" >&2
    echo "# This machine runs 32-bit code, but $why." >&2
    echo "# Testing the x86_64 twin under wine64 instead: the 32-bit Pelmar.exe is" >&2
    echo "# built, not run, under this system's Wine." >&2
    echo "##########################################################################" >&2
    PELMAR_ARCH=x86_64
    PELMAR_ARCH_REASON="this machine runs 32-bit x86 code, but $why; the same sources are built for x86_64 and run under wine64"
    pelmar_use_arch
}

# For commands that install nothing (dev-test.sh): the twin where wine32 is not installed.
pelmar_use_installed_wine() {
    [ "$PELMAR_ARCH" = i686 ] || return 0
    pelmar_installed wine32:i386 && return 0
    pelmar_fall_back_to_twin "the 32-bit Wine (wine32:i386) is not installed" "bash scripts/test.sh installs it"
}
