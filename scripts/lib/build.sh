# shellcheck shell=bash
# The builds: the players' i686 tree, the x86_64 twin in its x86_64/, and the native tree
# (the text logic under the sanitizers, and the checks as its tests). PELMAR_WERROR=1 (the
# test command sets it) makes every warning an error. Needs common.sh.

# pelmar_build_tree TREE TOOLCHAIN|"" BUILD_TYPE [CMAKE ARGS]: configures and builds a tree,
# with its compile_commands.json (the static analysis reads the i686 tree's).
pelmar_build_tree() {
    local werror=OFF
    [ "${PELMAR_WERROR:-0}" = 0 ] || werror=ON
    pelmar_step "configuring $1" "$PELMAR_LIMIT_CONFIGURE" cmake -S "$PELMAR_ROOT" -B "$1" \
        ${2:+-DCMAKE_TOOLCHAIN_FILE="$2"} -DCMAKE_BUILD_TYPE="$3" -DPELMAR_WERROR="$werror" \
        -DPELMAR_WINDOWS_TREE="$PELMAR_BUILD" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "${@:4}"
    if [ "${PELMAR_CONFIGURE_ONLY:-0}" != 1 ]; then
        pelmar_step "building $1" "$PELMAR_LIMIT_BUILD" cmake --build "$1" -j "$(nproc)"
    fi
}

# pelmar_build [i686|x86_64|native]...: those trees (default: the plan's PELMAR_BUILDS).
pelmar_build() {
    local arch builds
    read -r -a builds <<<"${PELMAR_BUILDS:-i686}"
    [ $# -gt 0 ] || set -- "${builds[@]}"
    for arch; do
        case "$arch" in
            i686) pelmar_build_tree "$PELMAR_BUILD" "$PELMAR_ROOT/cmake/mingw-i686.cmake" Release ;;
            x86_64)
                pelmar_build_tree "$PELMAR_BUILD/x86_64" "$PELMAR_ROOT/cmake/mingw-x86_64.cmake" \
                    Release
                ;;
            native) pelmar_build_tree "$PELMAR_NATIVE_BUILD" "" Debug ;;
        esac
    done
}
