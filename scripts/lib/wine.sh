# shellcheck shell=bash
# Wine prefixes for the tests and the demo: made without Mono and Gecko (there may be no
# network), with Wine's fonts, a copy for each display scale, and a persistent wineserver
# each. Wine runs the build PELMAR_RUN_ARCH. Needs common.sh.

# wine and wineserver of PELMAR_RUN_ARCH, looked up when used: the set-up may have just
# installed them. Debian's /usr/bin/wine starts wine32 and its wineserver prefers
# wineserver64: the twin names its binaries. Unstable's WoW64 Wine has no wineserver on the PATH.
pelmar_wine_path() {
    if [ "${PELMAR_RUN_ARCH:-i686}" = x86_64 ]; then echo "$PELMAR_ROOT/cmake/wine64"; else command -v wine || echo wine; fi
}
pelmar_wineserver_path() {
    local path
    [ "${PELMAR_RUN_ARCH:-i686}" = x86_64 ] && [ -x /usr/lib/wine/wineserver64 ] && { echo /usr/lib/wine/wineserver64; return; }
    for path in "$(command -v wineserver)" /usr/lib/wine/wineserver64 /usr/lib/x86_64-linux-gnu/wine/wineserver; do
        [ ! -x "$path" ] || { echo "$path"; return; }
    done
    pelmar_fail "finding the wineserver" "none installed (Debian package: wine)"
}

# PELMAR_CMD: the command line of this build's wine in PREFIX with the tests' settings
# (PELMAR_WINEDEBUG overrides their quiet WINEDEBUG), or of its wineserver with -s.
pelmar_wine_cmd() {
    if [ "$1" = -s ]; then PELMAR_CMD=(env WINEPREFIX="$2" "$(pelmar_wineserver_path)" "${@:3}"); return; fi
    PELMAR_CMD=(env WINEPREFIX="$1" WINEDLLOVERRIDES="$PELMAR_SETTING_WINEDLLOVERRIDES"
                WINEDEBUG="${PELMAR_WINEDEBUG:-$PELMAR_SETTING_WINEDEBUG}" "$(pelmar_wine_path)" "${@:2}")
}
pelmar_wine() {
    pelmar_wine_cmd "$@"
    "${PELMAR_CMD[@]}"
}

# pelmar_wine_step NAME [-s] PREFIX ARGS...: a Wine command as a bounded step
# (PELMAR_WINE_TIMEOUT, 300 s), named with its prefix.
pelmar_wine_step() {
    local name="$1" prefix="$2"
    shift
    [ "$prefix" != -s ] || prefix="$2"
    pelmar_wine_cmd "$@"
    pelmar_step "$name in the Wine prefix $prefix" "${PELMAR_WINE_TIMEOUT:-300}" "${PELMAR_CMD[@]}"
}

# Makes the prefix where it has no registry, or brings it to this Wine's version, and links
# Wine's fonts into it; the version is stamped in .pelmar-wine. Its wineserver is put on the
# stop list. Prints nothing.
pelmar_make_prefix() {
    local prefix="$1" version
    PELMAR_STOP_PREFIXES+=("$prefix")
    version=$(timeout 60 "$(pelmar_wine_path)" --version 2>/dev/null </dev/null) ||
        pelmar_fail "asking Wine its version" "$(pelmar_wine_path) --version failed"
    if [ ! -f "$prefix/system.reg" ] || [ "$(cat "$prefix/.pelmar-wine" 2>/dev/null)" != "$version" ]; then
        echo "Making the Wine prefix $prefix for $version" >&2
        # Copies share its files (hard links): they go before Wine brings it up to date.
        rm -rf "$prefix$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX"*
        pelmar_wine_step "Wine's first start" "$prefix" wineboot.exe -u
        pelmar_wine_step "saving Wine's first start" -s "$prefix" -w
        [ -f "$prefix/system.reg" ] || pelmar_fail "Wine's first start in $prefix" "wineboot left no registry"
        echo "$version" >"$prefix/.pelmar-wine"
    fi
    pelmar_link_wine_fonts "$prefix"
}

# A persistent, detached wineserver, so each program does not pay for starting one.
pelmar_boot_wineserver() {
    pelmar_wine_step "starting the wineserver" -s "$1" -p
    pelmar_wine_step "starting Wine" "$1" cmd /c exit
}

# Debian's Wine looks for its own fonts (Tahoma, which stands in for "MS Shell Dlg", and
# Marlett, which draws the caption buttons) in a data folder it names with "..", which its NT
# path lookup never resolves; without them texts are measured with another font and the
# buttons show as the letters "0 1 r". Players' Wine has them; a prefix's Fonts folder works.
# Every link is made anew: one left by another Wine would dangle.
# pelmar_link_wine_fonts PREFIX [FOLDER OF WINE'S FONTS]
pelmar_link_wine_fonts() {
    local fonts="$1/drive_c/windows/Fonts" from="${2:-/usr/share/wine/fonts}" font
    compgen -G "$from/*" >/dev/null ||
        pelmar_fail "linking Wine's fonts" "they are missing from $from (Debian package: fonts-wine)"
    mkdir -p "$fonts" || pelmar_fail "linking Wine's fonts" "cannot make $fonts"
    for font in "$from"/*; do
        ln -sfn "$font" "$fonts/${font##*/}" 2>/dev/null || true
        [ "$(readlink "$fonts/${font##*/}")" = "$font" ] ||
            pelmar_fail "linking Wine's fonts" "could not link $font into $fonts (is something else there?)"
    done
}

pelmar_reg_add() {
    pelmar_wine_step "writing $2 to the registry" "$1" reg add "${@:2}" /f
}

# The test prefix and a copy for each scale of the DPI list with its LogPixels, each with a
# persistent wineserver. A copy shares the prefix's files by hard links, but for its
# registry, and is made anew with Wine's version. LogPixels is read once per process at
# its start: it is written with nothing of the copy running, and saved before the copy
# takes its name.
pelmar_start_test_wines() {
    local main="$1" dpi prefix reg
    pelmar_make_prefix "$main"
    pelmar_wine_step "saving the prefix" -s "$main" -w
    for dpi in "${PELMAR_TEST_DPIS[@]}"; do
        prefix="$main$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX$dpi"
        PELMAR_STOP_PREFIXES+=("$prefix" "$prefix.new")
        if ! cmp -s "$main/.pelmar-wine" "$prefix/.pelmar-wine"; then
            echo "Making the Wine prefix $prefix (${dpi} DPI)" >&2
            rm -rf "$prefix" "$prefix.new"
            cp -al "$main" "$prefix.new" || pelmar_fail "linking $main for ${dpi} DPI" "cp's words above"
            for reg in "$main"/*.reg; do cp --remove-destination "$reg" "$prefix.new/" ||
                pelmar_fail "copying $reg for ${dpi} DPI" "cp's words above"; done
            pelmar_reg_add "$prefix.new" 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
            pelmar_wine_step "saving ${dpi} DPI" -s "$prefix.new" -w
            mv "$prefix.new" "$prefix" || pelmar_fail "naming the ${dpi} DPI prefix" "mv's words above"
        fi
    done
    pelmar_boot_wineserver "$main"
    for dpi in "${PELMAR_TEST_DPIS[@]}"; do
        pelmar_boot_wineserver "$main$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX$dpi"
    done
}
