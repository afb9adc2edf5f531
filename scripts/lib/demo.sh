# shellcheck shell=bash
# Showing Pelmar as a player sees it: an in-wine.sh show, and a screenshot taken here once
# its window is up. Needs common.sh.

# pelmar_show_and_shoot OUT CROP COMMAND...: runs COMMAND (an in-wine.sh show) until it says
# "shown", saves the screen as the PNG OUT (cropped to the ImageMagick geometry CROP, where
# given) once the map list is painted, then ends it. Stops when the window never appeared,
# or when the picture shows only a few colours.
pelmar_show_and_shoot() {
    local out="$1" crop="$2" said="" colours line
    coproc SHOW { "${@:3}" 2>&1; }
    PELMAR_STOP_PIDS+=("$SHOW_PID")
    while read -r -t 180 line <&"${SHOW[0]}"; do
        [ "$line" != shown ] || { said=1; break; }
        echo "$line" >&2
    done
    [ -n "$said" ] || pelmar_fail "starting Pelmar" "its window never appeared (the words above)"
    sleep "${PELMAR_SHOT_DELAY:-2}"  # the window is shown before its map list is painted
    mkdir -p "$(dirname "$out")"
    pelmar_step "taking the screenshot $out" 60 import -window root ${crop:+-crop "$crop" +repage} "$out"
    colours=$(timeout 60 convert "$out" -format '%k' info:) || pelmar_fail "reading the screenshot $out" "convert failed"
    [ "$colours" -ge 16 ] || pelmar_fail "taking the screenshot $out" "it shows $colours colour(s): Pelmar's window is not on it"
    eval "exec ${SHOW[1]}>&-"
    wait "$SHOW_PID" || true
}
