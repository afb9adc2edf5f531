#!/usr/bin/env bash
# What players get: build/package/Pelmar-<version>-win32.zip and its SHA-256, after the set-up,
# the build and the check of Pelmar.exe. The checks alone, on the built PELMAR_BUILD:
#   package.sh --check-exe | --reproducible   (its header and imports | the same bytes again)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build

# check_exe EXE ARCH: the header's Windows 6.0 and subsystem, the imports, and for i686 PE32.
check_exe() {
    local dump field dll bad=0 fields=(MajorOSystemVersion:6 MinorOSystemVersion:0
        MajorSubsystemVersion:6 MinorSubsystemVersion:0
        'Subsystem:00000002[[:space:]]+\(Windows GUI\)')
    dump=$(timeout "$PELMAR_LIMIT_OBJDUMP" "$2-w64-mingw32-objdump" -p "$1") ||
        pelmar_fail "checking $1" "objdump cannot read it"
    if [ "$2" = i686 ]; then
        fields+=('Magic:010b[[:space:]]+\(PE32\)')
        if ! grep -q 'file format pei-i386$' <<<"$dump"; then
            echo "$1 is not an i386 PE file" >&2
            bad=1
        fi
    fi
    for field in "${fields[@]}"; do
        if ! grep -Eq "^${field%%:*}[[:space:]]+${field#*:}\$" <<<"$dump"; then
            echo "$1: ${field%%:*} is not ${field#*:}" >&2
            bad=1
        fi
    done
    while read -r dll; do
        case "${dll,,}" in
            kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | shell32.dll | msimg32.dll) ;;
            advapi32.dll | msvcrt.dll) ;;
            *)
                echo "$1 imports $dll, which is not a system DLL" >&2
                bad=1
                ;;
        esac
    done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
    [ "$bad" = 0 ] || pelmar_fail "checking $1" "see above"
    echo "Checked $1 ($2): Windows GUI, Windows 6.0, system DLLs only."
}

# package TREE: TREE/package/Pelmar-<version>-win32.zip and its .sha256, the last commit's
# time as the archive's; prints the zip's path.
package() {
    local date zip
    [ -f "$1/CPackConfig.cmake" ] || pelmar_fail "packaging $1" "it is no built i686 tree"
    date=$(git -C "$PELMAR_ROOT" log -1 --format=%ct 2>/dev/null || echo 1767225600)
    rm -rf "$1/package"
    (cd "$1" && SOURCE_DATE_EPOCH=$date pelmar_step "packaging $1" "$PELMAR_LIMIT_CPACK" \
        cpack -G ZIP -B "$1/package")
    rm -rf "$1/package/_CPack_Packages"
    zip=$(compgen -G "$1/package/Pelmar-*-win32.zip") ||
        pelmar_fail "packaging $1" "cpack made no zip"
    echo "$zip"
}

# A second build from a copy of the sources at another path, in a clean folder, must give
# Pelmar.exe and the zip byte for byte.
reproducible() {
    local zip first second # again: the trap reads it
    zip=$(package "$PELMAR_BUILD")
    first=$(sha256sum "$PELMAR_BUILD/Pelmar.exe" "$zip" | cut -d' ' -f1)
    again=""
    trap 'rm -rf "$again"' EXIT
    again=$(mktemp -d "${TMPDIR:-/tmp}/pelmar-again.XXXXXX")
    mkdir "$again/source"
    tar -C "$PELMAR_ROOT" --exclude=./.git --exclude=./build --exclude='./build-*' -cf - . |
        tar -C "$again/source" -xf - ||
        pelmar_fail "copying the sources for a second build" "tar's words above"
    # Compiled anew, not taken from the compiler cache, which would only repeat the first.
    CCACHE_DISABLE=1 PELMAR_ROOT="$again/source" PELMAR_WERROR=0 pelmar_build_tree \
        "$again/out" "$again/source/cmake/mingw-i686.cmake" Release "" -DPELMAR_TESTS=OFF
    second=$(sha256sum "$again/out/Pelmar.exe" "$(package "$again/out")" | cut -d' ' -f1)
    [ "$first" = "$second" ] || pelmar_fail "the reproducibility check" \
        "Pelmar.exe or the zip differs between two builds of the same sources"
    echo "Reproducible: a second build at another path gave the same Pelmar.exe and ${zip##*/}" \
        "(SHA-256 $(tail -n 1 <<<"$first"))."
}

case "${1:-}" in
    --check-exe)
        check_exe "$PELMAR_BUILD/Pelmar.exe" i686
        if [ -f "$PELMAR_BUILD/x86_64/Pelmar.exe" ]; then
            check_exe "$PELMAR_BUILD/x86_64/Pelmar.exe" x86_64
        fi
        ;;
    --reproducible) reproducible ;;
    "")
        PELMAR_BUILDS=i686 pelmar_setup demo compilers
        pelmar_build i686
        check_exe "$PELMAR_BUILD/Pelmar.exe" i686
        zip=$(package "$PELMAR_BUILD")
        echo "Made $zip"
        cat "$zip.sha256"
        ;;
    *)
        sed -n '2,4s/^# \{0,1\}//p' "$0" >&2
        exit 2
        ;;
esac
