#!/usr/bin/env bash
# cppcheck and clang-tidy over the program's sources as the 32-bit build sees them, then
# the shell check of every shell file; fails at the first tool with a finding. Configuration:
# .clang-tidy, tools/cppcheck-suppressions.txt and inline suppressions, each with its reason.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init
cd "$PELMAR_ROOT"
for tool in cppcheck clang-tidy shellcheck i686-w64-mingw32-g++-posix; do command -v "$tool" >/dev/null ||
    pelmar_fail "static analysis" "$tool not found (bash scripts/test.sh installs it)"; done
mapfile -t sources < <(find app ui config launch -name '*.cpp' | sort)
defines=(-D_WIN32_WINNT=0x0600 -DWINVER=0x0600 -DNOMINMAX)
# clang finds mingw's C headers by itself but not its C++ library: mingw's g++ names them.
includes=()
while read -r dir; do includes+=(-isystem "$dir"); done < <(echo | i686-w64-mingw32-g++-posix -x c++ -E -v - 2>&1 |
    sed -n '/<\.\.\.> search starts/,/End of search/p' | sed -n 's/^ \(.*\/c++.*\)$/\1/p')
[ ${#includes[@]} -gt 0 ] || pelmar_fail "static analysis" "could not find mingw's C++ headers"
tidy_args=(--target=i686-w64-mingw32 -std=c++17 -nostdinc++ "${includes[@]}" "${defines[@]}" -I"$PELMAR_ROOT")
# Fail loudly when the Windows headers cannot be read, instead of analysing nothing.
printf '#include <windows.h>\n#include <string>\n' | clang++ "${tidy_args[@]}" -x c++ -fsyntax-only - ||
    pelmar_fail "static analysis" "clang cannot parse windows.h for i686-w64-mingw32 (its words above)"
echo "== cppcheck"
# cppcheck's Windows library defines QS_INPUT as the Windows 8 headers do, whatever
# _WIN32_WINNT says; it is given the value of the 6.0 headers the program is built against.
timeout 600 nice cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++17 \
    --enable=warning,style,performance,portability --suppress=missingIncludeSystem \
    --suppress=normalCheckLevelMaxBranches --suppressions-list=tools/cppcheck-suppressions.txt \
    --platform=win32A --library=windows -D_WIN32 "${defines[@]}" "-DQS_INPUT=(QS_MOUSE|QS_KEY|QS_RAWINPUT)" -I. \
    "${sources[@]}" || pelmar_fail "cppcheck" "findings above"
echo "== clang-tidy (${#sources[@]} files)"
status=0
output=$(timeout 600 nice clang-tidy --quiet "${sources[@]}" -- "${tidy_args[@]}" 2>&1) || status=$?
# Only the findings: not the counts of what the configuration filtered out.
grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' <<<"$output" || true
[ "$status" = 0 ] || pelmar_fail "clang-tidy" "findings above (status $status)"
# Every file that runs under a shell: by its ending, or by its first line.
mapfile -t shell_files < <(git ls-files | while read -r file; do
    case "$file" in *.sh) echo "$file" ;; *) [ -f "$file" ] && head -c 64 "$file" | grep -qE '^#!.*\b(ba)?sh\b' && echo "$file" ;; esac
done)
echo "== shellcheck (${#shell_files[@]} files)"
timeout 300 shellcheck -x "${shell_files[@]}" || pelmar_fail "shellcheck" "findings above"
echo "static-analysis.sh: no findings"
