# shellcheck shell=bash
# Showing Pelmar as a player sees it: a prefix whose programs run in Wine's virtual desktop,
# Pelmar started in a game folder, and a screenshot of it. Needs env.sh, arch.sh,
# display.sh and wine.sh.

# The demo's prefix, beside the test prefixes of the tree.
pelmar_desktop_prefix() {
    echo "$PELMAR_ARCH_BUILD/wineprefix-desktop-$(pelmar_codename)"
}

# Sets up the given prefix so that its programs all run in Wine's virtual desktop of the
# given size, which draws window frames (there is no window manager on a virtual display),
# at PELMAR_DEMO_DPI (96). Programs started with plain wine there still return their exit
# codes, unlike "explorer /desktop".
pelmar_start_desktop_wine() {
    local prefix="$1" size="$2" dpi="${PELMAR_DEMO_DPI:-96}"
    pelmar_make_prefix "$prefix"
    pelmar_reg_add "$prefix" 'HKCU\Software\Wine\Explorer' /v Desktop /d Pelmar
    pelmar_reg_add "$prefix" 'HKCU\Software\Wine\Explorer\Desktops' /v Pelmar /d "$size"
    pelmar_reg_add "$prefix" 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
    # The scale is read once per program, the desktop's own included: saved, then started anew.
    pelmar_wineserver "$prefix" -w || pelmar_fail "saving the demo desktop's settings" "wineserver -w failed"
    pelmar_boot_wineserver "$prefix"
}

# Starts Pelmar.exe in the given game folder and prefix and waits for its window; stops,
# saying why, when the window never appeared.
pelmar_start_launcher() {
    local folder="$1" prefix="$2"
    (cd "$folder" && WINEPREFIX="$prefix" exec "$PELMAR_WINE" Pelmar.exe) >/dev/null 2>&1 </dev/null &
    pelmar_wine "$prefix" "$PELMAR_ARCH_BUILD/wait_window.exe" Pelmar 30000 </dev/null ||
        pelmar_fail "starting Pelmar ($PELMAR_ARCH build) in $folder" "its window never appeared"
}

# Saves the screen as a PNG (ImageMagick's -crop geometry optional) once the map list is
# painted; stops when the picture shows nothing but a few colours.
pelmar_take_shot() {
    local out="$1" crop="${2:-}" colours
    # The window is shown before the map list is filled and painted.
    sleep "${PELMAR_SHOT_DELAY:-2}"
    mkdir -p "$(dirname "$out")"
    import -window root ${crop:+-crop "$crop" +repage} "$out" || pelmar_fail "taking the screenshot $out" "import's words above"
    colours=$(convert "$out" -format '%k' info:) || pelmar_fail "reading the screenshot $out" "convert's words above"
    [ "$colours" -ge 16 ] || pelmar_fail "taking the screenshot $out" "it shows $colours colour(s): Pelmar's window is not on it"
}
