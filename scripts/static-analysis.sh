#!/usr/bin/env bash
# cppcheck and clang-tidy over the program's sources as the built i686 tree PELMAR_BUILD
# compiles them (its compile_commands.json), then shellcheck and shfmt over every shell file
# and black over the harness's Python; fails at the first tool with a finding. Configuration:
# .clang-tidy, tools/cppcheck-suppressions.txt and inline suppressions, each with its reason;
# pyproject.toml.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init
cd "$PELMAR_ROOT"
for tool in cppcheck clang-tidy shellcheck shfmt black; do
    command -v "$tool" >/dev/null ||
        pelmar_fail "static analysis" "$tool not found (bash scripts/test.sh installs it)"
done
commands="$PELMAR_BUILD/compile_commands.json"
[ -f "$commands" ] || pelmar_fail "static analysis" "$commands is missing (a build makes it)"
mapfile -t sources < <(find app ui config launch -name '*.cpp' | sort)
filters=()
for folder in app ui config launch; do filters+=("--file-filter=$PELMAR_ROOT/$folder/*"); done
echo "== cppcheck"
# cppcheck's Windows library defines QS_INPUT as the Windows 8 headers do, whatever
# _WIN32_WINNT says; it is given the value of the 6.0 headers the program is built against.
timeout "$PELMAR_LIMIT_STATIC_TOOL" nice cppcheck --quiet --error-exitcode=1 --inline-suppr \
    --std=c++17 --enable=warning,style,performance,portability \
    --suppress=missingIncludeSystem --suppress=normalCheckLevelMaxBranches \
    --suppressions-list=tools/cppcheck-suppressions.txt --platform=win32A --library=windows \
    -D_WIN32 "-DQS_INPUT=(QS_MOUSE|QS_KEY|QS_RAWINPUT)" --project="$commands" "${filters[@]}" ||
    pelmar_fail "cppcheck" "findings above"
# clang finds mingw's C headers by itself but not its C++ library: CMake's record of the
# tree's compiler names its folders.
tidy_args=(--extra-arg=-nostdinc++)
while read -r dir; do
    tidy_args+=("--extra-arg=-isystem$dir")
done < <(sed -n 's/^set(CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES "\(.*\)")$/\1/p' \
    "$PELMAR_BUILD"/CMakeFiles/*/CMakeCXXCompiler.cmake | tr ';' '\n' | grep '/c++')
[ ${#tidy_args[@]} -gt 1 ] || pelmar_fail "static analysis" "CMake names no C++ headers' folder"
echo "== clang-tidy (${#sources[@]} files)"
status=0
output=$(timeout "$PELMAR_LIMIT_STATIC_TOOL" nice clang-tidy --quiet -p "$PELMAR_BUILD" \
    "${tidy_args[@]}" "${sources[@]}" 2>&1) || status=$?
# Only the findings: not the counts of what the configuration filtered out.
grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' <<<"$output" || true
[ "$status" = 0 ] || pelmar_fail "clang-tidy" "findings above (status $status)"
# Every file that runs under a shell: by its ending, or by its first line.
shell_files=()
while read -r file; do
    if [[ "$file" == *.sh ]] || head -c 64 "$file" | grep -qE '^#!.*\b(ba)?sh\b'; then
        shell_files+=("$file")
    fi
done < <(git ls-files)
echo "== shellcheck and shfmt (${#shell_files[@]} files)"
timeout "$PELMAR_LIMIT_STATIC_QUICK" shellcheck -x "${shell_files[@]}" ||
    pelmar_fail "shellcheck" "findings above"
timeout "$PELMAR_LIMIT_STATIC_QUICK" shfmt -i 4 -ci -d "${shell_files[@]}" ||
    pelmar_fail "shfmt" "the shell files above are not as shfmt -i 4 -ci writes them"
mapfile -t python_files < <(git ls-files 'scripts/*.py' 'tests/scripts/*.py')
echo "== black (${#python_files[@]} files)"
timeout "$PELMAR_LIMIT_STATIC_QUICK" black --check --diff --quiet "${python_files[@]}" ||
    pelmar_fail "black" "the Python files above are not as black writes them"
echo "static-analysis.sh: no findings"
