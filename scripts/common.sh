# Shared by the README's commands: picks the architecture the Windows programs run as,
# installs what is missing, builds, and runs Wine on a private prefix with its own X display
# when there is none. Source it.
set -euo pipefail

PELMAR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# PELMAR_BUILD may name another build folder, so two developers can build side by side.
# It always holds the 32-bit Pelmar.exe that players get.
PELMAR_BUILD="${PELMAR_BUILD:-$PELMAR_ROOT/build}"
PELMAR_NATIVE_BUILD="$PELMAR_BUILD/native"

# Debian and Ubuntu package names. The i686 cross compiler is always needed: build/Pelmar.exe
# is made on every machine, also where it cannot run.
PELMAR_BASE_PACKAGES=(cmake make g++ googletest g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
                      binutils-mingw-w64-i686 fonts-wine xvfb xauth imagemagick)
# The test command's fuzzing and static analysis; libFuzzer's runtime is packaged per clang
# version, so its name is taken from the clang this distribution has.
PELMAR_CHECK_PACKAGES=(clang cppcheck clang-tidy)
# wine32:i386 is the part of Wine that runs 32-bit programs.
PELMAR_I686_PACKAGES=(wine wine32:i386)
PELMAR_X86_64_PACKAGES=(wine64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
                        binutils-mingw-w64-x86-64)
# The other Debian release's Wine runs in a root made with mmdebstrap, entered with bwrap.
PELMAR_ROOT_TOOLS=(mmdebstrap bubblewrap)

# A 96-byte i386 Linux program that exits with code 42 (mov ebx,42; mov eax,1; int 0x80).
# Running it is the whole test of whether this kernel runs 32-bit x86 code: where it does
# not, exec fails with "Exec format error", and so would wine32.
pelmar_runs_i386() {
    local probe="$PELMAR_BUILD/.i386-probe" status=0
    # An i386 binfmt handler (qemu-user) would run the probe but not wine32.
    if compgen -G "/proc/sys/fs/binfmt_misc/qemu-i[3-6]86" >/dev/null 2>&1; then
        return 1
    fi
    mkdir -p "$PELMAR_BUILD"
    printf '%b' \
'\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'\
'\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00'\
'\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' \
        >"$probe"
    chmod +x "$probe"
    "$probe" >/dev/null 2>&1 || status=$?
    rm -f "$probe"
    [ "$status" -eq 42 ]
}

# Sets PELMAR_ARCH (i686 or x86_64) and PELMAR_ARCH_BUILD, the tree whose Windows programs
# run here, and the wine and wineserver that run them. PELMAR_ARCH in the environment
# overrides the choice (PELMAR_ARCH_FORCED=1).
pelmar_choose_arch() {
    local runs=0
    pelmar_runs_i386 && runs=1
    PELMAR_ARCH_FORCED=0
    [ -n "${PELMAR_ARCH:-}" ] && PELMAR_ARCH_FORCED=1
    case "${PELMAR_ARCH:-}" in
        "")
            if [ "$runs" = 1 ]; then
                PELMAR_ARCH=i686
                PELMAR_ARCH_REASON="this machine runs 32-bit x86 code"
            else
                PELMAR_ARCH=x86_64
                PELMAR_ARCH_REASON="this machine runs no 32-bit x86 code (a tiny i386 program was refused), so wine32 cannot start; the same sources are built for x86_64 and run under wine64"
            fi ;;
        i686)
            if [ "$runs" != 1 ]; then
                echo "PELMAR_ARCH=i686 asks for the 32-bit Windows programs, but this machine runs no 32-bit x86 code (a tiny i386 program was refused). Use PELMAR_ARCH=x86_64, or leave PELMAR_ARCH unset." >&2
                exit 2
            fi
            PELMAR_ARCH_REASON="PELMAR_ARCH=i686 asked for it" ;;
        x86_64)
            PELMAR_ARCH_REASON="PELMAR_ARCH=x86_64 asked for it" ;;
        *)
            echo "PELMAR_ARCH must be i686 or x86_64, not '$PELMAR_ARCH'." >&2
            exit 2 ;;
    esac
    pelmar_use_arch
}

# The tree, wine and wineserver of PELMAR_ARCH. Debian's /usr/bin/wine starts wine32 and its
# wineserver prefers wineserver64: the x86_64 twin names its binaries. Debian 12 and 13 put
# them in the same place.
pelmar_use_arch() {
    export PELMAR_ARCH
    if [ "$PELMAR_ARCH" = i686 ]; then
        PELMAR_ARCH_BUILD="$PELMAR_BUILD"
        PELMAR_WINE=wine
        PELMAR_WINESERVER=wineserver
    else
        PELMAR_ARCH_BUILD="$PELMAR_BUILD/x86_64"
        PELMAR_WINE="$PELMAR_ROOT/cmake/wine64"
        PELMAR_WINESERVER=/usr/lib/wine/wineserver64
    fi
}

pelmar_fuzz_runtime_package() {
    local version
    version=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)
    [ -n "$version" ] && echo "libclang-rt-$version-dev"
}

pelmar_packages() {
    local pkg
    for pkg in "${PELMAR_BASE_PACKAGES[@]}"; do echo "$pkg"; done
    if [ "${PELMAR_CHECKS:-0}" = 1 ]; then
        for pkg in "${PELMAR_CHECK_PACKAGES[@]}"; do echo "$pkg"; done
        pelmar_fuzz_runtime_package || true
    fi
    # No architecture chosen (packaging): the cross compiler and CMake are enough.
    case "${PELMAR_ARCH:-}" in
        i686) for pkg in "${PELMAR_I686_PACKAGES[@]}"; do echo "$pkg"; done ;;
        x86_64) for pkg in "${PELMAR_X86_64_PACKAGES[@]}"; do echo "$pkg"; done ;;
    esac
    if [ -n "${PELMAR_ARCH:-}" ] && pelmar_other_wine_wanted; then
        for pkg in "${PELMAR_ROOT_TOOLS[@]}"; do echo "$pkg"; done
    fi
}

pelmar_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

pelmar_missing_packages() {
    local missing=() pkg
    for pkg in $(pelmar_packages); do
        pelmar_installed "$pkg" || missing+=("$pkg")
    done
    echo "${missing[@]:-}"
}

# A mirror caught mid-sync serves an index of the wrong size for a while: try again after a
# short pause, then go on with the lists that did come (the packages may still be there).
pelmar_apt_update() {
    local try tries=3
    for try in $(seq 1 $tries); do
        $PELMAR_SUDO apt-get update -q && return 0
        if [ "$try" -lt "$tries" ]; then
            echo "apt-get update failed (try $try of $tries); trying again in ${PELMAR_APT_PAUSE:-5} s." >&2
            sleep "${PELMAR_APT_PAUSE:-5}"
        fi
    done
    echo "apt-get update failed $tries times: going on with the package lists that did come." >&2
}

# Where 32-bit code runs but apt cannot install the 32-bit Wine, test the x86_64 twin, as on
# a 64-bit-only machine; stop instead when PELMAR_ARCH=i686 insists.
pelmar_check_wine32_installable() {
    local log
    [ "$PELMAR_ARCH" = i686 ] || return 0
    pelmar_installed wine32:i386 && return 0
    log=$(mktemp)
    if $PELMAR_SUDO apt-get install -s -q "${PELMAR_I686_PACKAGES[@]}" >"$log" 2>&1; then
        rm -f "$log"
        return 0
    fi
    tail -n 5 "$log" >&2
    rm -f "$log"
    if [ "$PELMAR_ARCH_FORCED" = 1 ]; then
        echo "PELMAR_ARCH=i686 asks for the 32-bit Windows programs, but apt cannot install the 32-bit Wine (wine32:i386, apt's words above). Wait for the package mirror to finish syncing and run again, or use PELMAR_ARCH=x86_64, which needs no i386 package." >&2
        exit 2
    fi
    echo "##########################################################################" >&2
    echo "# This machine runs 32-bit code, but apt cannot install the 32-bit Wine" >&2
    echo "# (wine32:i386, apt's words above; the mirror may be mid-sync). Testing the" >&2
    echo "# x86_64 twin under wine64 instead: the 32-bit Pelmar.exe is built, not run." >&2
    echo "##########################################################################" >&2
    PELMAR_ARCH=x86_64
    PELMAR_ARCH_REASON="this machine runs 32-bit x86 code, but the 32-bit Wine (wine32:i386) could not be installed; the same sources are built for x86_64 and run under wine64"
    pelmar_use_arch
}

# For commands that install nothing (dev-test.sh): where 32-bit code runs but wine32 is not
# installed (the set-up fell back to the twin), test the twin too, or stop when PELMAR_ARCH=i686
# insists.
pelmar_use_installed_wine() {
    [ "$PELMAR_ARCH" = i686 ] || return 0
    pelmar_installed wine32:i386 && return 0
    if [ "$PELMAR_ARCH_FORCED" = 1 ]; then
        echo "PELMAR_ARCH=i686 asks for the 32-bit Windows programs, but the 32-bit Wine (wine32:i386) is not installed: bash scripts/test.sh installs it." >&2
        exit 2
    fi
    PELMAR_ARCH=x86_64
    PELMAR_ARCH_REASON="this machine runs 32-bit x86 code, but the 32-bit Wine (wine32:i386) is not installed; the x86_64 twin runs under wine64"
    pelmar_use_arch
}

pelmar_setup() {
    local missing
    PELMAR_SUDO=""
    [ "$(id -u)" -eq 0 ] || PELMAR_SUDO=sudo
    missing=$(pelmar_missing_packages)
    [ -z "$missing" ] && return 0
    if [ "${PELMAR_ARCH:-}" = i686 ] && ! pelmar_installed wine32:i386; then
        $PELMAR_SUDO dpkg --add-architecture i386
    fi
    pelmar_apt_update
    pelmar_check_wine32_installable
    # Again: the architecture may have changed, and some names (libFuzzer's runtime) are
    # known only once the package lists have been read.
    missing=$(pelmar_missing_packages)
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    # shellcheck disable=SC2086
    if ! DEBIAN_FRONTEND=noninteractive $PELMAR_SUDO apt-get install -y -q --no-install-recommends $missing; then
        echo "Installing these packages failed: $missing (apt's words above). If apt spoke of sizes, hashes or a mirror sync, wait a while for the mirror and run again; where i386 packages fail, PELMAR_ARCH=x86_64 needs none." >&2
        exit 1
    fi
}

# PELMAR_WERROR=1 (the test command sets it) turns every compiler warning into an error.
pelmar_configure() {
    local tree="$1" toolchain="$2"
    local werror=OFF
    [ "${PELMAR_WERROR:-0}" = 1 ] && werror=ON
    cmake -S "$PELMAR_ROOT" -B "$tree" ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$toolchain"} \
        -DPELMAR_WERROR="$werror" "${@:3}" >/dev/null
}

# The players' 32-bit program and everything of the i686 tree.
pelmar_build() {
    pelmar_configure "$PELMAR_BUILD" "$PELMAR_ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release
    cmake --build "$PELMAR_BUILD" -j "$(nproc)"
}

# The tree whose Windows programs run here: the i686 tree itself, or the x86_64 twin.
pelmar_build_arch() {
    [ "$PELMAR_ARCH" = i686 ] && return 0
    pelmar_configure "$PELMAR_ARCH_BUILD" "$PELMAR_ROOT/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
    cmake --build "$PELMAR_ARCH_BUILD" -j "$(nproc)"
}

pelmar_build_native() {
    pelmar_configure "$PELMAR_NATIVE_BUILD" "" -DCMAKE_BUILD_TYPE=Debug
    cmake --build "$PELMAR_NATIVE_BUILD" -j "$(nproc)"
}

# The header asks for Windows 6.0 (OS and subsystem version), in any Pelmar.exe.
pelmar_check_windows_version() {
    local exe="$1" dump="$2" field bad=0
    for field in MajorOSystemVersion:6 MinorOSystemVersion:0 MajorSubsystemVersion:6 MinorSubsystemVersion:0; do
        grep -Eq "^${field%%:*}[[:space:]]+${field##*:}\$" <<<"$dump" ||
            { echo "$exe: ${field%%:*} is not ${field##*:}" >&2; bad=1; }
    done
    return $bad
}

# What players get: a PE32 GUI program for i386 that asks for Windows 6.0 and needs no DLL
# beside the system's. The x86_64 twin, where built, must ask for Windows 6.0 too.
pelmar_check_player_exe() {
    local exe="$PELMAR_BUILD/Pelmar.exe" dump dll bad=0
    dump=$(i686-w64-mingw32-objdump -p "$exe")
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
    if [ "${PELMAR_ARCH:-}" = x86_64 ]; then
        exe="$PELMAR_ARCH_BUILD/Pelmar.exe"
        pelmar_check_windows_version "$exe" "$(x86_64-w64-mingw32-objdump -p "$exe")" || bad=1
    fi
    [ "$bad" = 0 ] || return 1
    echo "Checked $PELMAR_BUILD/Pelmar.exe: PE32, Windows GUI, i386, Windows 6.0, system DLLs only."
}

# The archive's time stamps: the last commit's time, so the zip is the same from any folder.
pelmar_source_date() {
    git -C "$PELMAR_ROOT" log -1 --format=%ct 2>/dev/null || echo 1767225600
}

# The players' download from a built tree: <tree>/package/Pelmar-<version>-win32.zip and
# its .sha256.
pelmar_package() {
    local tree="${1:-$PELMAR_BUILD}"
    rm -rf "$tree/package"
    (cd "$tree" && SOURCE_DATE_EPOCH=$(pelmar_source_date) cpack -G ZIP -B "$tree/package" >/dev/null)
    rm -rf "$tree/package/_CPack_Packages"
    PELMAR_ZIP=$(ls "$tree"/package/Pelmar-*-win32.zip)
}

# Builds Pelmar.exe and the zip a second time from a copy of the sources at another path,
# in a clean folder, and fails unless both come out byte for byte the same.
pelmar_check_reproducible() {
    local tmp first_exe first_zip second_zip zip
    first_exe=$(sha256sum <"$PELMAR_BUILD/Pelmar.exe")
    pelmar_package
    zip="$PELMAR_ZIP"
    first_zip=$(sha256sum <"$zip")
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/pelmar-again.XXXXXX")
    mkdir "$tmp/source"
    tar -C "$PELMAR_ROOT" --exclude=./.git --exclude=./build --exclude='./build-*' -cf - . | tar -C "$tmp/source" -xf -
    cmake -S "$tmp/source" -B "$tmp/out" -DCMAKE_TOOLCHAIN_FILE="$tmp/source/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DPELMAR_TESTS=OFF >/dev/null
    cmake --build "$tmp/out" --target Pelmar -j "$(nproc)" >/dev/null
    pelmar_package "$tmp/out"
    second_zip=$(sha256sum <"$PELMAR_ZIP")
    local bad=0
    [ "$first_exe" = "$(sha256sum <"$tmp/out/Pelmar.exe")" ] ||
        { echo "Pelmar.exe differs between two builds of the same sources" >&2; bad=1; }
    [ "$first_zip" = "$second_zip" ] ||
        { echo "The zip differs between two builds of the same sources" >&2; bad=1; }
    rm -rf "$tmp"
    PELMAR_ZIP="$zip"
    [ "$bad" = 0 ] || return 1
    echo "Reproducible: a second build at another path gave the same Pelmar.exe and $(basename "$PELMAR_ZIP") (SHA-256 ${first_zip%% *})."
}

PELMAR_XVFB_PID=""

# A display of our own when none is given (or when asked for one with PELMAR_XVFB=1).
pelmar_start_display() {
    if [ -n "${DISPLAY:-}" ] && [ "${PELMAR_XVFB:-0}" != 1 ]; then
        return 0
    fi
    local n=91
    # An X server in another mount namespace (a root entered with bwrap) has no files in this
    # /tmp, but its abstract socket is shared, and clients try that first: skip it, and
    # listen on none ourselves, so two runs never share a display.
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] ||
          grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null; do
        n=$((n + 1))
    done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -nolisten local >/dev/null 2>&1 </dev/null &
    PELMAR_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    export DISPLAY=":$n"
}

# wine and wineserver of the chosen architecture.
pelmar_wine() { "$PELMAR_WINE" "$@"; }
pelmar_wineserver() { "$PELMAR_WINESERVER" "$@"; }

# The Wine settings, DPI list and DPI prefix suffix of the test runs, from the file that
# tests/CMakeLists.txt reads too.
pelmar_read_wine_settings() {
    local line
    while IFS= read -r line; do
        case "$line" in [A-Z]*=*) printf -v "PELMAR_SETTING_${line%%=*}" '%s' "${line#*=}" ;; esac
    done <"$PELMAR_ROOT/tests/wine-settings.env"
    read -r -a PELMAR_TEST_DPIS <<<"$PELMAR_SETTING_PELMAR_TEST_DPIS"
}
pelmar_read_wine_settings

# The Debian release of this system (or of the root it runs in), which names its prefixes:
# a prefix belongs to one Wine version.
pelmar_codename() {
    local codename
    codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
    echo "${codename:-host}"
}

# The private prefix (default: the test prefix of this system's Wine), made without Wine's
# Mono and Gecko (there may be no network), and a persistent wineserver so each test
# program does not pay for starting one. Its output is detached: Wine's service processes
# would otherwise hold ctest's pipes open.
pelmar_start_wine() {
    pelmar_make_prefix "${1:-$PELMAR_ARCH_BUILD/wineprefix-$(pelmar_codename)}"
    pelmar_boot_wineserver "$WINEPREFIX"
}

PELMAR_USED_PREFIXES=()
pelmar_make_prefix() {
    export WINEPREFIX="$1"
    PELMAR_USED_PREFIXES+=("$1")
    export WINEDLLOVERRIDES="$PELMAR_SETTING_WINEDLLOVERRIDES"
    export WINEDEBUG="$PELMAR_SETTING_WINEDEBUG"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Making the Wine prefix $WINEPREFIX"
        pelmar_wine wineboot.exe -i >/dev/null 2>&1 </dev/null || true
        pelmar_wineserver -w || true
    fi
    pelmar_link_wine_fonts "$WINEPREFIX"
}

pelmar_boot_wineserver() {
    (export WINEPREFIX="$1"; pelmar_wineserver -p; pelmar_wine cmd /c exit) >/dev/null 2>&1 </dev/null || true
}

# Debian's Wine looks for its own fonts (Tahoma, which stands in for "MS Shell Dlg", and
# Marlett, which draws the caption buttons) in a data folder it names with "..", which its NT
# path lookup never resolves; without them texts are measured with another font and the
# buttons show as the letters "0 1 r". Players' Wine has them; a prefix's Fonts folder works.
# A link left by another Wine or a removed font would dangle: every link is made anew.
pelmar_link_wine_fonts() {
    local fonts="$1/drive_c/windows/Fonts" font link
    if ! compgen -G "/usr/share/wine/fonts/*" >/dev/null; then
        echo "Wine's fonts are missing from /usr/share/wine/fonts (Debian package: fonts-wine)." >&2
        return 1
    fi
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*; do
        link="$fonts/${font##*/}"
        if [ -L "$link" ] && [ ! -e "$link" ]; then
            echo "The font link $link led nowhere ($(readlink "$link")): made anew." >&2
        fi
        ln -sfn "$font" "$link" 2>/dev/null || true
        if [ "$(readlink "$link")" != "$font" ]; then
            echo "Could not link Wine's font $font into $link (is something else there?)." >&2
            return 1
        fi
    done
}

# wine reg add in WINEPREFIX; its words are shown only when it fails. reg writes its errors to
# standard output: into a file, which Wine's services cannot hold open as they could a pipe.
pelmar_reg_add() {
    local log status=0
    log=$(mktemp)
    pelmar_wine reg add "$@" /f </dev/null >"$log" 2>&1 || status=$?
    if [ "$status" != 0 ]; then
        cat "$log" >&2
        echo "wine reg add $1 failed in the Wine prefix $WINEPREFIX, saying what is above." >&2
    fi
    rm -f "$log"
    return "$status"
}

# The test prefix and a copy of it for each scale of the DPI list, its LogPixels set, each
# with a persistent wineserver; pelmar_stop ends them. The copies are made while no
# wineserver runs on the test prefix, and Wine's fonts are linked in each.
pelmar_start_test_wines() {
    local main="${1:-$PELMAR_ARCH_BUILD/wineprefix-$(pelmar_codename)}" dpi prefix
    pelmar_make_prefix "$main"
    pelmar_wineserver -k >/dev/null 2>&1 || true
    pelmar_wineserver -w || true
    for dpi in "${PELMAR_TEST_DPIS[@]}"; do
        prefix="$main$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX$dpi"
        if [ ! -f "$prefix/system.reg" ]; then
            echo "Making the Wine prefix $prefix (${dpi} DPI)"
            rm -rf "$prefix" "$prefix.new"
            cp -a "$main" "$prefix.new"
            PELMAR_USED_PREFIXES+=("$prefix.new")
            # Read once per process at its start: set with no program of the prefix running,
            # and saved (wineserver -w) before the copy takes its name.
            if ! WINEPREFIX="$prefix.new" pelmar_reg_add 'HKCU\Control Panel\Desktop' \
                    /v LogPixels /t REG_DWORD /d "$dpi"; then
                echo "Could not set ${dpi} DPI in the Wine prefix $prefix.new." >&2
                return 1
            fi
            WINEPREFIX="$prefix.new" pelmar_wineserver -w
            mv "$prefix.new" "$prefix"
        fi
        PELMAR_USED_PREFIXES+=("$prefix")
        pelmar_link_wine_fonts "$prefix"
    done
    pelmar_boot_wineserver "$main"
    for dpi in "${PELMAR_TEST_DPIS[@]}"; do
        pelmar_boot_wineserver "$main$PELMAR_SETTING_PELMAR_DPI_PREFIX_SUFFIX$dpi"
    done
}

# A prefix of its own whose programs all run in Wine's virtual desktop of the given size,
# which draws window frames (there is no window manager on a virtual display). Programs
# started with plain wine there still return their exit codes, unlike "explorer /desktop".
pelmar_start_desktop_wine() {
    local dpi="${PELMAR_DEMO_DPI:-96}"
    pelmar_make_prefix "$PELMAR_ARCH_BUILD/wineprefix-desktop-$(pelmar_codename)"
    pelmar_reg_add 'HKCU\Software\Wine\Explorer' /v Desktop /d Pelmar || return 1
    pelmar_reg_add 'HKCU\Software\Wine\Explorer\Desktops' /v Pelmar /d "$1" || return 1
    pelmar_reg_add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" || return 1
    # The scale is read once per program, the desktop's own included: saved, then started anew.
    pelmar_wineserver -w
    pelmar_boot_wineserver "$WINEPREFIX"
}

# Starts Pelmar.exe in the given game folder and waits for its window; fails, saying why,
# when the window never appeared.
pelmar_start_launcher() {
    local folder="$1"
    (cd "$folder" && exec "$PELMAR_WINE" Pelmar.exe) >/dev/null 2>&1 </dev/null &
    if ! pelmar_wine "$PELMAR_ARCH_BUILD/wait_window.exe" Pelmar 30000 </dev/null; then
        echo "Pelmar ($PELMAR_ARCH build) did not start in $folder: its window never appeared." >&2
        return 1
    fi
}

# Saves the screen as a PNG (ImageMagick's -crop geometry optional) once the map list is
# painted; fails when the picture shows nothing but one colour.
pelmar_take_shot() {
    local out="$1" crop="${2:-}" colours
    # The window is shown before the map list is filled and painted.
    sleep "${PELMAR_SHOT_DELAY:-2}"
    mkdir -p "$(dirname "$out")"
    import -window root ${crop:+-crop "$crop" +repage} "$out"
    colours=$(convert "$out" -format '%k' info:)
    if [ "$colours" -lt 16 ]; then
        echo "The screenshot $out shows $colours colour(s): Pelmar's window is not on it." >&2
        return 1
    fi
}

pelmar_show_launcher() {
    pelmar_start_launcher "$1" && pelmar_take_shot "$2" "${3:-}"
}

# Ends every wineserver started for the prefixes above, and the display; safe at any stage.
pelmar_stop() {
    local prefix
    for prefix in "${PELMAR_USED_PREFIXES[@]}"; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" pelmar_wineserver -k >/dev/null 2>&1 || true
    done
    if [ -n "$PELMAR_XVFB_PID" ]; then
        kill "$PELMAR_XVFB_PID" >/dev/null 2>&1 || true
        wait "$PELMAR_XVFB_PID" 2>/dev/null || true
    fi
}

# "Debian 12" and the like, for the closing lines.
pelmar_release_name() {
    (. /etc/os-release 2>/dev/null && echo "${NAME%% *} ${VERSION_ID:-}") || echo "this system"
}

# What ctest's JUnit file counts: ran, passed, failed and skipped (disabled included).
pelmar_junit_counts() {
    local file="$1" tests failures disabled skipped
    [ -s "$file" ] || { echo "no results (ctest did not finish)"; return 0; }
    count() { grep -m 1 -o " *$1=\"[0-9]*\"" "$file" | tr -dc 0-9; }
    tests=$(count tests) failures=$(count failures) disabled=$(count disabled) skipped=$(count skipped)
    echo "$((tests - disabled - skipped)) ran, $((tests - failures - disabled - skipped)) passed, $failures failed, $((disabled + skipped)) skipped"
}

# The Windows test suite of the chosen tree under this system's Wine, in prefixes of its
# own (Wine's prefixes are version-specific), with ctest arguments. Leaves one line, what
# ran under which Wine, in <tree>/ctest-<release>.summary.
pelmar_windows_suite() {
    local codename junit summary version status=0
    codename=$(pelmar_codename)
    junit="$PELMAR_ARCH_BUILD/ctest-$codename.xml"
    summary="$PELMAR_ARCH_BUILD/ctest-$codename.summary"
    rm -f "$junit" "$summary"
    version=$(pelmar_wine --version 2>/dev/null </dev/null) || version="a Wine that gives no version"
    echo "== Windows tests ($PELMAR_ARCH) under $version on $(pelmar_release_name)"
    pelmar_start_test_wines "$PELMAR_ARCH_BUILD/wineprefix-$codename"
    ctest --test-dir "$PELMAR_ARCH_BUILD" --output-on-failure --timeout 300 --output-junit "$junit" "$@" || status=1
    local where="on $(pelmar_release_name)"
    [ "${PELMAR_IN_ROOT:-0}" = 1 ] && where="in a $(pelmar_release_name) root"
    echo "$version $where: $(pelmar_junit_counts "$junit")" >"$summary"
    return $status
}

# The other current Debian release, whose Wine the Windows tests run under too.
pelmar_other_release() {
    case "$(pelmar_codename)" in
        bookworm) echo trixie ;;
        trixie) echo bookworm ;;
        *) return 1 ;;
    esac
}

# PELMAR_OTHER_WINE=1 asks for the second Wine (the test command's default).
pelmar_other_wine_wanted() {
    [ "${PELMAR_OTHER_WINE:-0}" != 0 ] && pelmar_other_release >/dev/null
}

# Only what the Windows tests need: Wine (with its 32-bit part, or wine64 for the twin),
# its fonts, and ctest. The display is the host's, shared through /tmp/.X11-unix.
pelmar_root_packages() {
    if [ "$PELMAR_ARCH" = i686 ]; then echo wine wine32:i386 fonts-wine cmake
    else echo wine64 fonts-wine cmake; fi
}

pelmar_other_root_dir() {
    echo "${XDG_CACHE_HOME:-$HOME/.cache}/pelmar/wine-root-$(pelmar_other_release)-$PELMAR_ARCH"
}

# Makes the other release's root once, in the cache folder; again when its package list
# changes (the list is kept in a stamp file inside it). A mirror mid-sync gets two more tries.
pelmar_make_other_root() {
    local release dir archs packages stamp try log
    release=$(pelmar_other_release)
    dir=$(pelmar_other_root_dir)
    archs=amd64
    [ "$PELMAR_ARCH" = i686 ] && archs=amd64,i386
    packages=$(pelmar_root_packages)
    stamp="$release $archs $packages"
    PELMAR_OTHER_ROOT="$dir"
    if [ "$(cat "$dir/.pelmar-root" 2>/dev/null)" = "$stamp" ]; then
        return 0
    fi
    command -v mmdebstrap >/dev/null && command -v bwrap >/dev/null || {
        echo "The second Wine needs mmdebstrap and bubblewrap (bash scripts/test.sh installs them); PELMAR_OTHER_WINE=0 skips it." >&2
        return 1
    }
    echo "Making a Debian $release root for its Wine in $dir ($packages)"
    mkdir -p "$(dirname "$dir")"
    log="$dir.log"
    local sources=()
    for try in 1 2 3; do
        rm -rf "$dir.new"
        # A suite caught mid-sync is most often -security or -updates: the last try takes the
        # release's main suite alone, which holds the same Wine and is enough for the tests.
        if [ "$try" = 3 ]; then
            sources=("deb http://deb.debian.org/debian $release main")
            echo "Last try with Debian $release's main suite only (no -updates, no -security)." >&2
        fi
        if mmdebstrap --variant=apt --architectures="$archs" --include="${packages// /,}" \
                --aptopt='Acquire::Retries "3"' \
                --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
                --dpkgopt='path-exclude=/usr/share/locale/*' \
                "$release" "$dir.new" "${sources[@]}" >"$log" 2>&1 </dev/null; then
            echo "$stamp" >"$dir.new/.pelmar-root"
            rm -rf "$dir"
            mv "$dir.new" "$dir"
            return 0
        fi
        [ "$try" -lt 3 ] && { echo "mmdebstrap failed (try $try of 3); trying again in ${PELMAR_APT_PAUSE:-5} s." >&2; sleep "${PELMAR_APT_PAUSE:-5}"; }
    done
    rm -rf "$dir.new"
    local hint=""
    [ "$PELMAR_ARCH" = i686 ] && hint=", or use PELMAR_ARCH=x86_64, whose root needs no i386 package"
    tail -n 15 "$log" >&2
    echo "Could not make the Debian $release root for the second Wine (mmdebstrap's words above, all in $log). If they speak of sizes, hashes or a mirror sync, wait for the mirror and run again${hint}; PELMAR_OTHER_WINE=0 skips the second Wine." >&2
    return 1
}

# Runs a command inside the other release's root: the sources and the build folder at their
# own paths, the host's X display shared. Its own process namespace: nothing started inside
# outlives it.
pelmar_in_other_root() {
    local binds=(--bind "$PELMAR_ROOT" "$PELMAR_ROOT")
    case "$PELMAR_BUILD/" in "$PELMAR_ROOT"/*) ;; *) binds+=(--bind "$PELMAR_BUILD" "$PELMAR_BUILD") ;; esac
    [ -d /tmp/.X11-unix ] && binds+=(--bind /tmp/.X11-unix /tmp/.X11-unix)
    bwrap --bind "$PELMAR_OTHER_ROOT" / --proc /proc --dev /dev --perms 1777 --tmpfs /tmp \
        "${binds[@]}" --unshare-pid --die-with-parent --unsetenv TMPDIR --setenv PELMAR_IN_ROOT 1 --chdir "$PELMAR_ROOT" "$@"
}
