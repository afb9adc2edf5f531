# shellcheck shell=bash
# The builds: native (the text logic under the sanitizers, and the checks as its tests),
# the players' i686 tree, and the x86_64 twin. PELMAR_WERROR=1 (the test command sets it)
# turns every warning into an error. Needs common.sh.

# Configures and builds a tree: pelmar_build_tree TREE TOOLCHAIN|"" BUILD_TYPE [cmake args].
pelmar_build_tree() {
    local tree="$1" toolchain="$2" type="$3" werror=OFF
    shift 3
    [ "${PELMAR_WERROR:-0}" = 0 ] || werror=ON
    pelmar_step "configuring $tree" 300 cmake -S "$PELMAR_ROOT" -B "$tree" \
        ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$toolchain"} -DCMAKE_BUILD_TYPE="$type" -DPELMAR_WERROR="$werror" "$@"
    pelmar_step "building $tree" 1200 cmake --build "$tree" -j "$(nproc)"
}

# The players' 32-bit program and everything of the i686 tree.
pelmar_build() {
    pelmar_build_tree "$PELMAR_BUILD" "$PELMAR_ROOT/cmake/mingw-i686.cmake" Release
}

# The x86_64 twin of the same sources, in PELMAR_BUILD/x86_64.
pelmar_build_twin() {
    pelmar_build_tree "$PELMAR_BUILD/x86_64" "$PELMAR_ROOT/cmake/mingw-x86_64.cmake" Release
}

# The tree of the build this system's Wine runs (PELMAR_RUN_ARCH), the i686 tree always.
pelmar_build_arch() {
    pelmar_build
    [ "$PELMAR_RUN_ARCH" = i686 ] || pelmar_build_twin
}

# The native tree; its ctest tests include the checks of the i686 tree in PELMAR_BUILD.
pelmar_build_native() {
    pelmar_build_tree "$PELMAR_NATIVE_BUILD" "" Debug -DPELMAR_WINDOWS_TREE="$PELMAR_BUILD"
}
