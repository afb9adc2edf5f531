# shellcheck shell=bash
# Showing Pelmar as a player sees it: scripts/in-wine.sh show, run on this system or in a
# Wine's root, and a screenshot taken here once its window is up. Needs common.sh.

# pelmar_show_and_shoot OUT CROP COMMAND...: runs COMMAND (an in-wine.sh show), waits for its
# "shown", saves the screen as the PNG OUT (cropped to the ImageMagick geometry CROP where
# one is given) once the map list is painted, and ends the command. Stops when the window
# never appeared, or when the picture shows nothing but a few colours.
pelmar_show_and_shoot() {
    local out="$1" crop="$2" said="" colours line
    shift 2
    coproc SHOW { "$@" 2>&1; }
    PELMAR_STOP_PIDS+=("$SHOW_PID")
    while read -r -t 180 line <&"${SHOW[0]}"; do
        [ "$line" != shown ] || { said=1; break; }
        echo "$line" >&2
    done
    [ -n "$said" ] || pelmar_fail "starting Pelmar" "its window never appeared (the words above)"
    # The window is shown before the map list is filled and painted.
    sleep "${PELMAR_SHOT_DELAY:-2}"
    mkdir -p "$(dirname "$out")"
    pelmar_step "taking the screenshot $out" 60 import -window root ${crop:+-crop "$crop" +repage} "$out"
    colours=$(timeout 60 convert "$out" -format '%k' info:) || pelmar_fail "reading the screenshot $out" "convert failed"
    [ "$colours" -ge 16 ] || pelmar_fail "taking the screenshot $out" "it shows $colours colour(s): Pelmar's window is not on it"
    eval "exec ${SHOW[1]}>&-"
    wait "$SHOW_PID" || true
}
