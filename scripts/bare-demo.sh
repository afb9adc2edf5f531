#!/usr/bin/env bash
# The README's first command where nothing is installed: run-demo.sh in a new, bare Debian
# root with this checkout's commit cloned into it; passes only when its screenshot shows
# Pelmar (kept as build/bare-demo-<release>.png), and says how long the demo took. The host's
# apt archive is lent to the root unless PELMAR_BARE_DOWNLOADS=1, when the demo downloads what
# it installs, as on a new machine. bash scripts/bare-demo.sh [REVISION]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init setup
release="${PELMAR_BARE_RELEASE:-bookworm}"
revision=$(git -C "$PELMAR_ROOT" rev-parse --verify "${1:-HEAD}^{commit}") ||
    pelmar_fail "finding the commit to prove" "git knows no ${1:-HEAD}"
pelmar_setup demo tests roots
mkdir -p "$PELMAR_BUILD"
root=""
trap 'pelmar_stop; rm -rf "$root"' EXIT
root=$(mktemp -d "${TMPDIR:-/var/tmp}/pelmar-bare.XXXXXX")
echo "A bare Debian $release root in $root, with ${revision:0:12} cloned into /root/pelmar"
pelmar_step "making the bare Debian $release root" "$PELMAR_LIMIT_ROOT" mmdebstrap \
    --variant=apt --architectures=amd64,i386 --include=git,ca-certificates --skip=cleanup/apt \
    '--aptopt=Acquire::Retries "3"' "$release" "$root"
pelmar_step "cloning the checkout into the root" "$PELMAR_LIMIT_GIT" \
    git clone -q --no-checkout "$PELMAR_ROOT" "$root/root/pelmar"
pelmar_step "checking out ${revision:0:12}" "$PELMAR_LIMIT_GIT" \
    git -C "$root/root/pelmar" checkout -q "$revision"
lend=(--bind /var/cache/apt/archives /var/cache/apt/archives)
lent="the host's apt archive lent"
if [ "${PELMAR_BARE_DOWNLOADS:-0}" = 1 ]; then
    lend=()
    lent="every package downloaded"
fi
# As a new developer runs it: no display, nothing of this shell's settings.
began=$SECONDS
pelmar_step "the demo in a bare Debian $release root" "$PELMAR_LIMIT_BARE_DEMO" \
    bwrap --cap-add ALL --bind "$root" / --proc /proc --dev /dev --perms 1777 --tmpfs /tmp \
    ${lend[@]+"${lend[@]}"} --unshare-pid --die-with-parent --chdir /root/pelmar -- \
    env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 bash scripts/run-demo.sh
took=$((SECONDS - began))
# The demo has checked its window; here the picture is read again, as a player's screen.
shot="$root/root/pelmar/build/demo-screenshot.png"
[ -f "$shot" ] ||
    pelmar_fail "the demo in a bare Debian $release root" "it passed but left no screenshot"
cp "$shot" "$PELMAR_BUILD/bare-demo-$release.png"
read -r size colours < <(timeout "$PELMAR_LIMIT_IMAGE" convert "$shot" -format '%wx%h %k' info:) ||
    true
if [ "${size:-}" != 1024x768 ] || [ "${colours:-0}" -lt 16 ]; then
    pelmar_fail "the demo's screenshot in a bare Debian $release root" \
        "it is ${size:-unreadable} with ${colours:-no} colours, not Pelmar's window"
fi
echo "The README's first command passed in a bare Debian $release root (${revision:0:12})" \
    "in $took s, its set-up included ($lent):" \
    "$PELMAR_BUILD/bare-demo-$release.png, $colours colours."
