# shellcheck shell=bash
# The Wines of scripts/wines.txt as the shell sees them: scripts/wines.py's plan, and the
# roots that Wines of other Debian releases live in (made by scripts/wines.py in the cache
# folder, entered here with bwrap). Needs env.sh.

# A line a chosen Wine: its name, the build it runs (- where skipped), "own" or "root", and
# why; the arguments go to scripts/wines.py plan (--own).
pelmar_wines_plan() {
    python3 "$PELMAR_ROOT/scripts/wines.py" plan "$@" ||
        pelmar_fail "choosing the Wines" "scripts/wines.py's words above"
}

# True where a Wine of the plan runs the x86_64 twin.
pelmar_plan_needs_twin() {
    grep -q '^[^ ]* x86_64 ' <<<"$1"
}

# The root of the named Wine (scripts/wines.txt), made where missing or out of date; prints
# its path.
pelmar_wine_root() {
    python3 "$PELMAR_ROOT/scripts/wines.py" root "$1"
}

# Runs a command inside a root: the sources and the build folder at their own paths, the
# host's X sockets shared. Its own process namespace: nothing started inside outlives it.
pelmar_in_root() {
    local root="$1" binds=(--bind "$PELMAR_ROOT" "$PELMAR_ROOT")
    shift
    case "$PELMAR_BUILD/" in "$PELMAR_ROOT"/*) ;; *) binds+=(--bind "$PELMAR_BUILD" "$PELMAR_BUILD") ;; esac
    [ ! -d /tmp/.X11-unix ] || binds+=(--bind /tmp/.X11-unix /tmp/.X11-unix)
    command -v bwrap >/dev/null || pelmar_fail "entering the root $root" "bwrap is not installed (Debian package: bubblewrap)"
    bwrap --bind "$root" / --proc /proc --dev /dev --perms 1777 --tmpfs /tmp "${binds[@]}" \
        --unshare-pid --die-with-parent --unsetenv TMPDIR --setenv PELMAR_IN_ROOT 1 \
        --chdir "$PELMAR_ROOT" "$@"
}
