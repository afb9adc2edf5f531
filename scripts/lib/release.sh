# shellcheck shell=bash
# What players get: the checks of Pelmar.exe's header and imports, the zip, and the check
# that a second build elsewhere gives the same bytes. Needs env.sh and build.sh.

# The header asks for Windows 6.0 (OS and subsystem version), in any Pelmar.exe.
pelmar_check_windows_version() {
    local exe="$1" dump="$2" field bad=0
    for field in MajorOSystemVersion:6 MinorOSystemVersion:0 MajorSubsystemVersion:6 MinorSubsystemVersion:0; do
        grep -Eq "^${field%%:*}[[:space:]]+${field##*:}\$" <<<"$dump" ||
            { echo "$exe: ${field%%:*} is not ${field##*:}" >&2; bad=1; }
    done
    return $bad
}

# A PE32 GUI program for i386 that asks for Windows 6.0 and needs no DLL beside the
# system's; the x86_64 twin, where built, must ask for Windows 6.0 too.
pelmar_check_player_exe() {
    local exe="$PELMAR_BUILD/Pelmar.exe" twin="$PELMAR_BUILD/x86_64/Pelmar.exe" dump dll bad=0
    dump=$(i686-w64-mingw32-objdump -p "$exe") || pelmar_fail "checking $exe" "objdump cannot read it"
    grep -q 'file format pei-i386' <<<"$dump" || { echo "$exe is not an i386 PE file" >&2; bad=1; }
    grep -Eq '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$dump" || { echo "$exe is not PE32" >&2; bad=1; }
    grep -Eq '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' <<<"$dump" ||
        { echo "$exe is not a Windows GUI program" >&2; bad=1; }
    pelmar_check_windows_version "$exe" "$dump" || bad=1
    while read -r dll; do
        case "${dll,,}" in
            kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|shell32.dll|msimg32.dll|advapi32.dll|msvcrt.dll) ;;
            *) echo "$exe imports $dll, which is not a system DLL" >&2; bad=1 ;;
        esac
    done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
    if [ -f "$twin" ]; then
        dump=$(x86_64-w64-mingw32-objdump -p "$twin") || pelmar_fail "checking $twin" "objdump cannot read it"
        pelmar_check_windows_version "$twin" "$dump" || bad=1
    fi
    [ "$bad" = 0 ] || pelmar_fail "checking $exe" "see above"
    echo "Checked $exe: PE32, Windows GUI, i386, Windows 6.0, system DLLs only."
}

# The archive's time stamps: the last commit's time, so the zip is the same from any folder.
pelmar_source_date() {
    git -C "$PELMAR_ROOT" log -1 --format=%ct 2>/dev/null || echo 1767225600
}

# Makes TREE/package/Pelmar-<version>-win32.zip and its .sha256 from a built tree, and
# prints the zip's path.
pelmar_package() {
    local tree="$1" date
    date=$(pelmar_source_date)
    rm -rf "$tree/package"
    (cd "$tree" && SOURCE_DATE_EPOCH=$date cpack -G ZIP -B "$tree/package" >/dev/null) ||
        pelmar_fail "packaging $tree" "cpack's words above"
    rm -rf "$tree/package/_CPack_Packages"
    compgen -G "$tree/package/Pelmar-*-win32.zip" || pelmar_fail "packaging $tree" "cpack made no zip"
}

# Builds Pelmar.exe and the zip a second time from a copy of the sources at another path,
# in a clean folder, and fails unless both come out byte for byte the same.
pelmar_check_reproducible() {
    local tmp zip again first_exe first_zip bad=0
    zip=$(pelmar_package "$PELMAR_BUILD")
    first_exe=$(sha256sum <"$PELMAR_BUILD/Pelmar.exe")
    first_zip=$(sha256sum <"$zip")
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/pelmar-again.XXXXXX")
    mkdir "$tmp/source"
    tar -C "$PELMAR_ROOT" --exclude=./.git --exclude=./build --exclude='./build-*' -cf - . | tar -C "$tmp/source" -xf - ||
        pelmar_fail "copying the sources for a second build" "tar's words above"
    cmake -S "$tmp/source" -B "$tmp/out" -DCMAKE_TOOLCHAIN_FILE="$tmp/source/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DPELMAR_TESTS=OFF >/dev/null ||
        pelmar_fail "configuring the second build" "cmake's words above"
    cmake --build "$tmp/out" --target Pelmar -j "$(nproc)" >/dev/null ||
        pelmar_fail "the second build" "the compiler's words above"
    again=$(pelmar_package "$tmp/out")
    [ "$first_exe" = "$(sha256sum <"$tmp/out/Pelmar.exe")" ] ||
        { echo "Pelmar.exe differs between two builds of the same sources" >&2; bad=1; }
    [ "$first_zip" = "$(sha256sum <"$again")" ] ||
        { echo "The zip differs between two builds of the same sources" >&2; bad=1; }
    rm -rf "$tmp"
    [ "$bad" = 0 ] || pelmar_fail "the reproducibility check" "see above"
    echo "Reproducible: a second build at another path gave the same Pelmar.exe and $(basename "$zip") (SHA-256 ${first_zip%% *})."
}
