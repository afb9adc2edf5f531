# shellcheck shell=bash
# Wine prefixes for the tests and the demo, in the build PELMAR_RUN_ARCH: made without Mono
# and Gecko (there may be no network), with Wine's fonts, a copy for each display scale,
# and a persistent wineserver each. Needs common.sh.

# wine and wineserver, looked up when used: the set-up may have just installed them.
# Debian's /usr/bin/wine starts wine32, the twin's cmake/wine64 names wine64; unstable's
# WoW64 Wine has no wineserver on the PATH, and the twin wants wineserver64.
pelmar_wine_path() {
    if [ "${PELMAR_RUN_ARCH:-i686}" = x86_64 ]; then echo "$PELMAR_ROOT/cmake/wine64"; else command -v wine || echo wine; fi
}
pelmar_wineserver_path() {
    local path
    [ "${PELMAR_RUN_ARCH:-i686}" = i686 ] || path=/usr/lib/wine/wineserver64
    for path in ${path:-} "$(command -v wineserver)" /usr/lib/wine/wineserver64 /usr/lib/x86_64-linux-gnu/wine/wineserver; do
        [ ! -x "$path" ] || { echo "$path"; return; }
    done
    pelmar_fail "finding the wineserver" "none is installed (Debian package: wine)"
}

# PELMAR_CMD := wine in PREFIX with the tests' settings (PELMAR_WINEDEBUG overrides their
# WINEDEBUG), or with -s its wineserver: pelmar_wine_cmd [-s] PREFIX ARGS...
pelmar_wine_cmd() {
    if [ "$1" = -s ]; then PELMAR_CMD=(env WINEPREFIX="$2" "$(pelmar_wineserver_path)" "${@:3}"); return; fi
    PELMAR_CMD=(env WINEPREFIX="$1" WINEDLLOVERRIDES="$PELMAR_SETTING_WINEDLLOVERRIDES"
                WINEDEBUG="${PELMAR_WINEDEBUG:-$PELMAR_SETTING_WINEDEBUG}" "$(pelmar_wine_path)" "${@:2}")
}
pelmar_wine() {
    pelmar_wine_cmd "$@"
    "${PELMAR_CMD[@]}"
}
# pelmar_wine_step NAME [-s] PREFIX ARGS...: the same as a step of PELMAR_WINE_TIMEOUT (300 s).
pelmar_wine_step() {
    local name="$1 in the Wine prefix ${2/#-s/$3}"
    shift
    pelmar_wine_cmd "$@"
    pelmar_step "$name" "${PELMAR_WINE_TIMEOUT:-300}" "${PELMAR_CMD[@]}"
}

# Makes the prefix where it has no registry or was made by another Wine (the version in
# .pelmar-wine), links Wine's fonts into it, and puts it on the stop list.
pelmar_make_prefix() {
    local prefix="$1" version
    PELMAR_STOP_PREFIXES+=("$prefix")
    version=$(timeout 60 "$(pelmar_wine_path)" --version 2>/dev/null </dev/null) ||
        pelmar_fail "asking Wine its version" "$(pelmar_wine_path) --version failed"
    if [ ! -f "$prefix/system.reg" ] || [ "$(cat "$prefix/.pelmar-wine" 2>/dev/null)" != "$version" ]; then
        echo "Making the Wine prefix $prefix for $version" >&2
        # Its scale's copies share its files: they go before Wine brings it up to date.
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

# Debian's Wine looks for its own fonts (Tahoma for "MS Shell Dlg", Marlett for the caption
# buttons) in a folder it names with "..", which its NT path lookup never resolves: texts
# are then measured with another font and the buttons show as "0 1 r". Players' Wine has
# them; a prefix's Fonts folder works. Links are made anew: one of another Wine would dangle.
# pelmar_link_wine_fonts PREFIX [FOLDER OF WINE'S FONTS]
pelmar_link_wine_fonts() {
    local fonts="$1/drive_c/windows/Fonts" from="${2:-/usr/share/wine/fonts}" font
    compgen -G "$from/*" >/dev/null || pelmar_fail "linking Wine's fonts" "none in $from (Debian package: fonts-wine)"
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

# The test prefix and a copy for each scale of the DPI list, each with a persistent
# wineserver. A copy shares the prefix's files by hard links, all but its registry, and is
# made anew with Wine's version. LogPixels is read once per process at its start: it is
# written with nothing of the copy running, and saved before the copy takes its name.
pelmar_start_test_wines() {
    local main="$1" dpi prefix
    pelmar_make_prefix "$main"
    pelmar_wine_step "saving the prefix" -s "$main" -w
    for dpi in "${PELMAR_TEST_DPIS[@]}"; do
        prefix="$main$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX$dpi"
        PELMAR_STOP_PREFIXES+=("$prefix" "$prefix.new")
        cmp -s "$main/.pelmar-wine" "$prefix/.pelmar-wine" && continue
        echo "Making the Wine prefix $prefix (${dpi} DPI)" >&2
        rm -rf "$prefix" "$prefix.new"
        { cp -al "$main" "$prefix.new" && cp --remove-destination "$main"/*.reg "$prefix.new/"; } ||
            pelmar_fail "linking $main for ${dpi} DPI" "cp's words above"
        pelmar_reg_add "$prefix.new" 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
        pelmar_wine_step "saving ${dpi} DPI" -s "$prefix.new" -w
        mv "$prefix.new" "$prefix" || pelmar_fail "naming the ${dpi} DPI prefix" "mv's words above"
    done
    for prefix in "$main" "${PELMAR_TEST_DPIS[@]/#/$main$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX}"; do
        pelmar_boot_wineserver "$prefix"
    done
}
