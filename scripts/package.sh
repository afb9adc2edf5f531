#!/usr/bin/env bash
# What players get. Without arguments: installs what the 32-bit build needs, builds, checks
# Pelmar.exe and makes build/package/Pelmar-<version>-win32.zip with its SHA-256 beside it.
# The checks of the test command, on the built i686 tree (PELMAR_BUILD), install nothing:
#   package.sh --check-exe      PE32, Windows GUI, i386, Windows 6.0, system DLLs only
#   package.sh --reproducible   a second build at another path gives the same bytes
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup build

# The header asks for Windows 6.0 (OS and subsystem version) and the imports are the
# system's own DLLs, in any Pelmar.exe; the players' one is a PE32 GUI program for i386.
check_exe() {
    local exe="$1" dump field dll bad=0
    dump=$(timeout 60 "${2}-w64-mingw32-objdump" -p "$exe") || pelmar_fail "checking $exe" "objdump cannot read it"
    for field in MajorOSystemVersion:6 MinorOSystemVersion:0 MajorSubsystemVersion:6 MinorSubsystemVersion:0 \
                 'Subsystem:00000002[[:space:]]+\(Windows GUI\)'; do
        grep -Eq "^${field%%:*}[[:space:]]+${field#*:}\$" <<<"$dump" || { echo "$exe: ${field%%:*} is not ${field#*:}" >&2; bad=1; }
    done
    if [ "$2" = i686 ]; then
        grep -q 'file format pei-i386' <<<"$dump" || { echo "$exe is not an i386 PE file" >&2; bad=1; }
        grep -Eq '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$dump" || { echo "$exe is not PE32" >&2; bad=1; }
    fi
    while read -r dll; do
        case "${dll,,}" in
            kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|shell32.dll|msimg32.dll|advapi32.dll|msvcrt.dll) ;;
            *) echo "$exe imports $dll, which is not a system DLL" >&2; bad=1 ;;
        esac
    done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
    [ "$bad" = 0 ] || pelmar_fail "checking $exe" "see above"
    echo "Checked $exe: Windows GUI, Windows 6.0, system DLLs only${3:-}."
}

# Makes TREE/package/Pelmar-<version>-win32.zip and its .sha256 from a built tree, with the
# last commit's time as the archive's, and prints the zip's path.
package() {
    local tree="$1" date zip
    date=$(git -C "$PELMAR_ROOT" log -1 --format=%ct 2>/dev/null || echo 1767225600)
    [ -f "$tree/CPackConfig.cmake" ] || pelmar_fail "packaging $tree" "it is no built i686 tree"
    rm -rf "$tree/package"
    (cd "$tree" && SOURCE_DATE_EPOCH=$date pelmar_step "packaging $tree" 300 cpack -G ZIP -B "$tree/package")
    rm -rf "$tree/package/_CPack_Packages"
    zip=$(compgen -G "$tree/package/Pelmar-*-win32.zip") || pelmar_fail "packaging $tree" "cpack made no zip"
    echo "$zip"
}

# Builds Pelmar.exe and the zip a second time from a copy of the sources at another path,
# in a clean folder, and fails unless both come out byte for byte the same.
reproducible() {
    local zip again first
    zip=$(package "$PELMAR_BUILD")
    first=$(sha256sum "$PELMAR_BUILD/Pelmar.exe" "$zip" | cut -d' ' -f1)
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/pelmar-again.XXXXXX")
    trap 'rm -rf "$tmp"' EXIT
    mkdir "$tmp/source"
    tar -C "$PELMAR_ROOT" --exclude=./.git --exclude=./build --exclude='./build-*' -cf - . | tar -C "$tmp/source" -xf - ||
        pelmar_fail "copying the sources for a second build" "tar's words above"
    PELMAR_ROOT="$tmp/source" PELMAR_WERROR=0 pelmar_build_tree "$tmp/out" "$tmp/source/cmake/mingw-i686.cmake" Release -DPELMAR_TESTS=OFF
    again=$(package "$tmp/out")
    [ "$first" = "$(sha256sum "$tmp/out/Pelmar.exe" "$again" | cut -d' ' -f1)" ] ||
        pelmar_fail "the reproducibility check" "Pelmar.exe or the zip differs between two builds of the same sources"
    echo "Reproducible: a second build at another path gave the same Pelmar.exe and $(basename "$zip") (SHA-256 $(tail -n 1 <<<"$first"))."
}

case "${1:-}" in
    --check-exe)
        check_exe "$PELMAR_BUILD/Pelmar.exe" i686 ", PE32 for i386"
        [ ! -f "$PELMAR_BUILD/x86_64/Pelmar.exe" ] || check_exe "$PELMAR_BUILD/x86_64/Pelmar.exe" x86_64 ;;
    --reproducible) reproducible ;;
    "")
        PELMAR_RUN_ARCH=i686 pelmar_setup base
        pelmar_build
        check_exe "$PELMAR_BUILD/Pelmar.exe" i686 ", PE32 for i386"
        zip=$(package "$PELMAR_BUILD")
        echo "Made $zip"
        cat "$zip.sha256" ;;
    *) sed -n '2,6s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
esac
