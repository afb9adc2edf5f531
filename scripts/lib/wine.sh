# shellcheck shell=bash
# Wine prefixes of the build PELMAR_RUN_ARCH, for the tests and the demo: made without Mono
# and Gecko, with Wine's fonts, a copy a display scale, a persistent wineserver each.

# Looked up when used, as the set-up may have just installed them (scripts/README.md).
pelmar_wine_path() {
    if [ "${PELMAR_RUN_ARCH:-i686}" = x86_64 ]; then
        echo "$PELMAR_ROOT/cmake/wine64"
    else
        command -v wine || echo wine
    fi
}
pelmar_wineserver_path() {
    local path
    [ "${PELMAR_RUN_ARCH:-i686}" = i686 ] || path=/usr/lib/wine/wineserver64
    for path in ${path:-} "$(command -v wineserver)" /usr/lib/wine/wineserver64 \
        /usr/lib/x86_64-linux-gnu/wine/wineserver; do
        if [ -x "$path" ]; then
            echo "$path"
            return
        fi
    done
    pelmar_fail "finding the wineserver" "none is installed (Debian package: wine)"
}

# pelmar_wine_cmd [-s] PREFIX ARGS...: PELMAR_CMD := wine in PREFIX with the tests'
# settings (PELMAR_WINEDEBUG overrides their WINEDEBUG), or with -s its wineserver.
pelmar_wine_cmd() {
    if [ "$1" = -s ]; then
        PELMAR_CMD=(env WINEPREFIX="$2" "$(pelmar_wineserver_path)" "${@:3}")
        return
    fi
    PELMAR_CMD=(env WINEPREFIX="$1" WINEDLLOVERRIDES="$PELMAR_SETTING_WINEDLLOVERRIDES"
        WINEDEBUG="${PELMAR_WINEDEBUG:-$PELMAR_SETTING_WINEDEBUG}" "$(pelmar_wine_path)" "${@:2}")
}
pelmar_wine() {
    pelmar_wine_cmd "$@"
    "${PELMAR_CMD[@]}"
}
# pelmar_wine_step NAME [-s] PREFIX ARGS...: the same as a step of PELMAR_LIMIT_WINE_STEP.
pelmar_wine_step() {
    local name="$1 in the Wine prefix ${2/#-s/$3}"
    shift
    pelmar_wine_cmd "$@"
    pelmar_step "$name" "$PELMAR_LIMIT_WINE_STEP" "${PELMAR_CMD[@]}"
}

# Makes the prefix where it has no registry or another Wine's (.pelmar-wine), links Wine's
# fonts into it, and puts it on the stop list.
pelmar_wine_version() {
    timeout "$PELMAR_LIMIT_WINE_VERSION" "$(pelmar_wine_path)" --version 2>/dev/null </dev/null ||
        pelmar_fail "asking Wine its version" "$(pelmar_wine_path) --version failed"
}

pelmar_make_prefix() {
    local prefix="$1" version
    PELMAR_STOP_PREFIXES+=("$prefix")
    version=$(pelmar_wine_version)
    if [ ! -f "$prefix/system.reg" ] ||
        [ "$(cat "$prefix/.pelmar-wine" 2>/dev/null)" != "$version" ]; then
        echo "Making the Wine prefix $prefix for $version" >&2
        # Its scale's copies share its files: they go before Wine brings it up to date.
        rm -rf "$prefix$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX"*
        pelmar_wine_step "Wine's first start" "$prefix" wineboot.exe -u
        pelmar_wine_step "saving Wine's first start" -s "$prefix" -w
        [ -f "$prefix/system.reg" ] ||
            pelmar_fail "Wine's first start in $prefix" "wineboot left no registry"
        echo "$version" >"$prefix/.pelmar-wine"
    fi
    pelmar_link_wine_fonts "$prefix"
}

# A wineserver of this prefix still ending (a run before) is waited for: a Wine started
# meanwhile would meet it. Wine's err channel stays in the first start's words, so that a
# start that fails says why.
pelmar_boot_wineserver() {
    pelmar_wine_step "waiting for an earlier wineserver" -s "$1" -w
    pelmar_wine_step "starting the wineserver" -s "$1" -p
    PELMAR_WINEDEBUG="${PELMAR_WINEDEBUG:--all,err+all}" \
        pelmar_wine_step "starting Wine" "$1" cmd /c exit
}

# pelmar_link_wine_fonts PREFIX [FOLDER]: Debian's Wine does not find its own fonts
# (scripts/README.md); links in the prefix's Fonts, each made anew, do.
pelmar_link_wine_fonts() {
    local fonts="$1/drive_c/windows/Fonts" from="${2:-/usr/share/wine/fonts}" font
    compgen -G "$from/*" >/dev/null ||
        pelmar_fail "linking Wine's fonts" "none in $from (Debian package: fonts-wine)"
    mkdir -p "$fonts" || pelmar_fail "linking Wine's fonts" "cannot make $fonts"
    for font in "$from"/*; do
        ln -sfn "$font" "$fonts/${font##*/}" 2>/dev/null || true
        [ "$(readlink "$fonts/${font##*/}")" = "$font" ] ||
            pelmar_fail "linking Wine's fonts" \
                "could not link $font into $fonts (is something else there?)"
    done
}

pelmar_reg_add() {
    pelmar_wine_step "writing $2 to the registry" "$1" reg add "${@:2}" /f
}

# The test prefix and a copy a scale of the DPI list, each with a persistent wineserver. A
# copy is hard links to the prefix's files but its registry, made anew with Wine's version.
# LogPixels is read as a process starts: written with nothing of the copy running, and
# saved before the copy takes its name.
pelmar_start_test_wines() {
    local main="$1" suffix="$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX" dpi prefix
    pelmar_make_prefix "$main"
    # No window manager runs on a test display, and Wine waits up to 2 s for one each time
    # it hides a window it has handed to it: the tests keep their windows to Wine. The
    # scales' copies are made again from this registry.
    if ! grep -qx '"Managed"="N"' "$main/user.reg"; then
        pelmar_reg_add "$main" 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
        rm -rf "$main$suffix"*
    fi
    pelmar_wine_step "saving the prefix" -s "$main" -w
    for dpi in "${PELMAR_TEST_DPIS[@]}"; do
        prefix="$main$suffix$dpi"
        PELMAR_STOP_PREFIXES+=("$prefix" "$prefix.new")
        if cmp -s "$main/.pelmar-wine" "$prefix/.pelmar-wine"; then continue; fi
        echo "Making the Wine prefix $prefix (${dpi} DPI)" >&2
        rm -rf "$prefix" "$prefix.new"
        cp -al "$main" "$prefix.new" || pelmar_fail "linking $main for ${dpi} DPI" "see above"
        cp --remove-destination "$main"/*.reg "$prefix.new/" ||
            pelmar_fail "copying the registry of $main for ${dpi} DPI" "see above"
        pelmar_reg_add "$prefix.new" 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
            /d "$dpi"
        pelmar_wine_step "saving ${dpi} DPI" -s "$prefix.new" -w
        mv "$prefix.new" "$prefix" || pelmar_fail "naming the ${dpi} DPI prefix" "mv's words above"
    done
    for prefix in "$main" "${PELMAR_TEST_DPIS[@]/#/$main$suffix}"; do
        pelmar_boot_wineserver "$prefix"
        pelmar_keep_wine_up "$prefix"
    done
}

# A Wine process in PREFIX that reads our input until the script ends. Without one, Wine's
# own processes (services.exe, explorer.exe) end after each test program, holding ctest's
# pipe a second longer, and start again with the next one.
pelmar_keep_wine_up() {
    local input
    # shellcheck disable=SC2034 # held open, never written: the keeper's input
    exec {input}> >(pelmar_wine "$1" cmd.exe >/dev/null 2>&1)
    PELMAR_STOP_PIDS+=("$!")
}
