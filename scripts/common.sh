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
# overrides the choice.
pelmar_choose_arch() {
    local runs=0
    pelmar_runs_i386 && runs=1
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
}

pelmar_missing_packages() {
    local missing=() pkg
    for pkg in $(pelmar_packages); do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    echo "${missing[@]:-}"
}

pelmar_setup() {
    local missing pass sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    # Twice at most: some names (libFuzzer's runtime) are known only once the package lists
    # have been read.
    for pass in 1 2; do
        missing=$(pelmar_missing_packages)
        [ -z "$missing" ] && return 0
        echo "Installing: $missing"
        if [ "$pass" = 1 ]; then
            if [ "${PELMAR_ARCH:-}" = i686 ]; then
                $sudo dpkg --add-architecture i386
            fi
            $sudo apt-get update -q
        fi
        # shellcheck disable=SC2086
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
    done
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
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
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

# The private prefix (default: the one the chosen tree's tests use), made without Wine's
# Mono and Gecko (there may be no network), and a persistent wineserver so each test
# program does not pay for starting one. Its output is detached: Wine's service processes
# would otherwise hold ctest's pipes open.
pelmar_start_wine() {
    export WINEPREFIX="${1:-$PELMAR_ARCH_BUILD/wineprefix}"
    # winedbg off: a crash must end the program, not wait in a debugger.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
    export WINEDEBUG="${WINEDEBUG:--all}"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Making the Wine prefix $WINEPREFIX"
        pelmar_wine wineboot.exe -i >/dev/null 2>&1 </dev/null || true
        pelmar_wineserver -w || true
    fi
    pelmar_link_wine_fonts "$WINEPREFIX"
    (pelmar_wineserver -p; pelmar_wine cmd /c exit) >/dev/null 2>&1 </dev/null || true
}

# Debian's Wine looks for its own fonts (Tahoma, which stands in for "MS Shell Dlg", and
# Marlett, which draws the caption buttons) in a data folder it names with "..", which its NT
# path lookup never resolves; without them texts are measured with another font and the
# buttons show as the letters "0 1 r". Players' Wine has them; a prefix's Fonts folder works.
pelmar_link_wine_fonts() {
    local fonts="$1/drive_c/windows/Fonts" font
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*; do
        [ -e "$font" ] && [ ! -e "$fonts/${font##*/}" ] && ln -s "$font" "$fonts/"
    done
    return 0
}

# The display scales a Wine player sets besides 96 DPI; the layout tests run at each.
PELMAR_TEST_DPIS=(120 144 192)

# A copy of the test prefix for each scale, its LogPixels set, each with a persistent
# wineserver like the main one. Call after pelmar_start_wine; pelmar_stop ends them.
pelmar_start_dpi_wine() {
    local main="$WINEPREFIX" dpi prefix
    for dpi in "${PELMAR_TEST_DPIS[@]}"; do
        prefix="$main-dpi$dpi"
        if [ ! -f "$prefix/system.reg" ]; then
            echo "Making the Wine prefix $prefix (${dpi} DPI)"
            rm -rf "$prefix"
            cp -a "$main" "$prefix"
        fi
        # Read once per process at its start: set it with no program of the prefix running.
        (export WINEPREFIX="$prefix"
         pelmar_wineserver -k || true
         pelmar_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
         pelmar_wineserver -k || true
         pelmar_wineserver -p; pelmar_wine cmd /c exit) >/dev/null 2>&1 </dev/null || true
        PELMAR_DPI_PREFIXES+=("$prefix")
    done
}
PELMAR_DPI_PREFIXES=()

# A prefix of its own whose programs all run in Wine's virtual desktop of the given size,
# which draws window frames (there is no window manager on a virtual display). Programs
# started with plain wine there still return their exit codes, unlike "explorer /desktop".
pelmar_start_desktop_wine() {
    pelmar_start_wine "$PELMAR_ARCH_BUILD/wineprefix-desktop"
    pelmar_wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Pelmar /f >/dev/null 2>&1 </dev/null
    pelmar_wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Pelmar /d "$1" /f >/dev/null 2>&1 </dev/null
}

# Starts Pelmar.exe in the given game folder, waits for its window and saves the screen as
# a PNG (ImageMagick's -crop geometry optional). Fails, saying why, when the window never
# appeared or the picture shows nothing but one colour.
pelmar_show_launcher() {
    local folder="$1" out="$2" crop="${3:-}" colours
    (cd "$folder" && exec "$PELMAR_WINE" Pelmar.exe) >/dev/null 2>&1 </dev/null &
    if ! pelmar_wine "$PELMAR_ARCH_BUILD/wait_window.exe" Pelmar 30000 </dev/null; then
        echo "Pelmar ($PELMAR_ARCH build) did not start in $folder: its window never appeared." >&2
        return 1
    fi
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

pelmar_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then
        pelmar_wineserver -k >/dev/null 2>&1 || true
    fi
    local prefix
    for prefix in "${PELMAR_DPI_PREFIXES[@]}"; do
        WINEPREFIX="$prefix" pelmar_wineserver -k >/dev/null 2>&1 || true
    done
    if [ -n "$PELMAR_XVFB_PID" ]; then
        kill "$PELMAR_XVFB_PID" >/dev/null 2>&1 || true
        wait "$PELMAR_XVFB_PID" 2>/dev/null || true
    fi
}
