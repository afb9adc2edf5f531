# shellcheck shell=bash
# The builds: the players' i686 tree, the x86_64 twin in its x86_64/, and the native tree
# (the text logic under the sanitizers, and the checks as its tests). PELMAR_WERROR=1 (the
# test command sets it) makes every warning an error. Needs common.sh.

# PELMAR_LAUNCHER := CMake's arguments that put ccache before the compilers, where it is
# installed, with its cache beside the roots. Paths under the checkout are hashed relative to
# it, so a fresh clone's build finds what an earlier clone compiled.
pelmar_compiler_cache() {
    # A tree configured with it keeps it, unless told otherwise.
    PELMAR_LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER=)
    command -v ccache >/dev/null || return 0
    PELMAR_LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_DIR="${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/pelmar/ccache}"
    export CCACHE_BASEDIR="$PELMAR_ROOT" CCACHE_NOHASHDIR=1
}

# pelmar_build_tree TREE TOOLCHAIN|"" BUILD_TYPE TARGETS|"" [CMAKE ARGS]: configures and builds
# a tree (TARGETS: those alone), with its compile_commands.json (the static analysis reads the
# i686 tree's).
pelmar_build_tree() {
    local werror=OFF targets
    [ "${PELMAR_WERROR:-0}" = 0 ] || werror=ON
    read -r -a targets <<<"$4"
    pelmar_compiler_cache
    pelmar_step "configuring $1" "$PELMAR_LIMIT_CONFIGURE" cmake -S "$PELMAR_ROOT" -B "$1" \
        ${2:+-DCMAKE_TOOLCHAIN_FILE="$2"} -DCMAKE_BUILD_TYPE="$3" -DPELMAR_WERROR="$werror" \
        -DPELMAR_WINDOWS_TREE="$PELMAR_BUILD" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
        "${PELMAR_LAUNCHER[@]}" "${@:5}"
    if [ "${PELMAR_CONFIGURE_ONLY:-0}" != 1 ]; then
        pelmar_step "building $1${4:+ ($4)}" "$PELMAR_LIMIT_BUILD" cmake --build "$1" \
            -j "$(nproc)" ${targets[@]+--target "${targets[@]}"}
    fi
}

# pelmar_build [i686|x86_64|native]...: those trees (default: the plan's PELMAR_BUILDS). A
# Windows tree is built whole, with its tests, where a Wine runs them (PELMAR_TEST_BUILDS),
# else Pelmar.exe alone; PELMAR_DEMO=1: the demo folder and its window wait alone.
pelmar_build() {
    local arch builds targets tests toolchain
    read -r -a builds <<<"${PELMAR_BUILDS:-i686}"
    [ $# -gt 0 ] || set -- "${builds[@]}"
    for arch; do
        targets=Pelmar
        tests=OFF
        if [ "${PELMAR_DEMO:-0}" = 1 ]; then
            targets="demo wait_window"
        elif [[ " ${PELMAR_TEST_BUILDS:-} " == *" $arch "* ]]; then
            targets=""
            tests=ON
        fi
        toolchain="$PELMAR_ROOT/cmake/mingw-$arch.cmake"
        case "$arch" in
            i686 | x86_64)
                pelmar_build_tree "$(PELMAR_RUN_ARCH=$arch pelmar_tree)" "$toolchain" Release \
                    "$targets" -DPELMAR_TESTS="$tests"
                ;;
            native) pelmar_build_tree "$PELMAR_NATIVE_BUILD" "" Debug "" ;;
        esac
    done
}
