# shellcheck shell=bash
# Wine prefixes for the tests and the demo: made without Mono and Gecko (there may be no
# network), with Wine's fonts, a copy for each display scale, and a persistent wineserver
# each. Needs env.sh, arch.sh and display.sh (the stop list).

# wine and wineserver of the chosen build, in the prefix given as the first argument.
pelmar_wine() {
    local prefix="$1"
    shift
    WINEPREFIX="$prefix" WINEDLLOVERRIDES="$PELMAR_SETTING_WINEDLLOVERRIDES" \
        WINEDEBUG="$PELMAR_SETTING_WINEDEBUG" "$PELMAR_WINE" "$@"
}
pelmar_wineserver() {
    local prefix="$1"
    shift
    WINEPREFIX="$prefix" "$PELMAR_WINESERVER" "$@"
}

# Runs a Wine command in a prefix with its output in a file (Wine's services could hold a
# pipe open); shows the output and stops, naming the step, when the command fails.
pelmar_wine_step() {
    local step="$1" prefix="$2" log status=0
    shift 2
    log=$(mktemp)
    pelmar_wine "$prefix" "$@" </dev/null >"$log" 2>&1 || status=$?
    if [ "$status" != 0 ]; then
        tail -n 20 "$log" >&2
        rm -f "$log"
        pelmar_fail "$step in the Wine prefix $prefix" "wine $1 ended with status $status (its words above)"
    fi
    rm -f "$log"
}

# Makes the prefix where it has no registry yet, and links Wine's fonts into it; its
# wineserver is put on the stop list.
pelmar_make_prefix() {
    local prefix="$1"
    PELMAR_STOP_PREFIXES+=("$prefix")
    if [ ! -f "$prefix/system.reg" ]; then
        echo "Making the Wine prefix $prefix" >&2
        pelmar_wine_step "Wine's first start" "$prefix" wineboot.exe -i
        pelmar_wineserver "$prefix" -w || pelmar_fail "Wine's first start in $prefix" "wineserver -w failed"
        [ -f "$prefix/system.reg" ] || pelmar_fail "Wine's first start in $prefix" "wineboot left no registry"
    fi
    pelmar_link_wine_fonts "$prefix"
}

# A persistent, detached wineserver, so each program does not pay for starting one; its
# output is detached: Wine's service processes would otherwise hold ctest's pipes open.
pelmar_boot_wineserver() {
    local prefix="$1"
    pelmar_wineserver "$prefix" -p </dev/null >/dev/null 2>&1 ||
        pelmar_fail "starting the wineserver of $prefix" "wineserver -p failed"
    pelmar_wine_step "starting Wine" "$prefix" cmd /c exit
}

# Debian's Wine looks for its own fonts (Tahoma, which stands in for "MS Shell Dlg", and
# Marlett, which draws the caption buttons) in a data folder it names with "..", which its NT
# path lookup never resolves; without them texts are measured with another font and the
# buttons show as the letters "0 1 r". Players' Wine has them; a prefix's Fonts folder works.
# A link left by another Wine or a removed font would dangle: every link is made anew.
# pelmar_link_wine_fonts PREFIX [FOLDER OF WINE'S FONTS]
pelmar_link_wine_fonts() {
    local fonts="$1/drive_c/windows/Fonts" from="${2:-/usr/share/wine/fonts}" font link
    compgen -G "$from/*" >/dev/null ||
        pelmar_fail "linking Wine's fonts" "they are missing from $from (Debian package: fonts-wine)"
    mkdir -p "$fonts" || pelmar_fail "linking Wine's fonts" "cannot make $fonts"
    for font in "$from"/*; do
        link="$fonts/${font##*/}"
        if [ -L "$link" ] && [ ! -e "$link" ]; then
            echo "The font link $link led nowhere ($(readlink "$link")): made anew." >&2
        fi
        ln -sfn "$font" "$link" 2>/dev/null || true
        [ "$(readlink "$link")" = "$font" ] ||
            pelmar_fail "linking Wine's fonts" "could not link $font into $link (is something else there?)"
    done
}

# wine reg add KEY ARGS... in the prefix; Wine's words are shown only when it fails.
pelmar_reg_add() {
    local prefix="$1"
    shift
    pelmar_wine_step "writing $1 to the registry" "$prefix" reg add "$@" /f
}

# The test prefix and a copy of it for each scale of the DPI list, LogPixels set, each with
# a persistent wineserver. LogPixels is read once per process at its start: it is set with
# no program of the copy running, and saved (wineserver -w) before the copy takes its name.
pelmar_start_test_wines() {
    local main="$1" dpi prefix
    pelmar_make_prefix "$main"
    pelmar_wineserver "$main" -k >/dev/null 2>&1 || true
    pelmar_wineserver "$main" -w || pelmar_fail "stopping Wine in $main" "wineserver -w failed"
    for dpi in "${PELMAR_TEST_DPIS[@]}"; do
        prefix="$main$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX$dpi"
        if [ ! -f "$prefix/system.reg" ]; then
            echo "Making the Wine prefix $prefix (${dpi} DPI)" >&2
            rm -rf "$prefix" "$prefix.new"
            cp -a "$main" "$prefix.new" || pelmar_fail "copying $main for ${dpi} DPI" "cp's words above"
            PELMAR_STOP_PREFIXES+=("$prefix.new")
            pelmar_reg_add "$prefix.new" 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
            pelmar_wineserver "$prefix.new" -w || pelmar_fail "saving ${dpi} DPI in $prefix.new" "wineserver -w failed"
            mv "$prefix.new" "$prefix" || pelmar_fail "naming the ${dpi} DPI prefix" "mv's words above"
        fi
        pelmar_make_prefix "$prefix"
    done
    pelmar_boot_wineserver "$main"
    for dpi in "${PELMAR_TEST_DPIS[@]}"; do
        pelmar_boot_wineserver "$main$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX$dpi"
    done
}
