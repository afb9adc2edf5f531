#!/usr/bin/env bash
# cppcheck and clang-tidy over the program's sources (app, ui, config, launch), read as the
# 32-bit Windows build sees them, and shellcheck over every shell file of the project.
# Exits non-zero on any finding of any of them. Configuration: .clang-tidy,
# tools/cppcheck-suppressions.txt and inline suppressions, each with its reason.
# Needs (Debian): cppcheck clang clang-tidy g++-mingw-w64-i686-posix shellcheck; installs
# nothing itself.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
cd "$root"

fail() {
    echo "static-analysis.sh: $*" >&2
    exit 2
}

command -v cppcheck >/dev/null || fail "cppcheck not found (Debian package: cppcheck)"
command -v clang-tidy >/dev/null || fail "clang-tidy not found (Debian package: clang-tidy)"
command -v shellcheck >/dev/null || fail "shellcheck not found (Debian package: shellcheck)"
mingw_gxx=$(command -v i686-w64-mingw32-g++-posix || command -v i686-w64-mingw32-g++ || true)
[ -n "$mingw_gxx" ] || fail "no i686 mingw g++ for the Windows headers (Debian package: g++-mingw-w64-i686-posix)"

mapfile -t sources < <(find app ui config launch -name '*.cpp' | sort)
defines=(-D_WIN32_WINNT=0x0600 -DWINVER=0x0600 -DNOMINMAX)

# clang finds mingw's C headers by itself but not its C++ library: take those folders from
# mingw's own g++.
cxx_includes=()
while read -r dir; do
    cxx_includes+=(-isystem "$dir")
done < <(echo | "$mingw_gxx" -x c++ -E -v - 2>&1 | sed -n '/<\.\.\.> search starts/,/End of search/p' |
         sed -n 's/^ \(.*\/c++.*\)$/\1/p')
[ ${#cxx_includes[@]} -gt 0 ] || fail "could not find mingw's C++ headers through $mingw_gxx"
tidy_args=(--target=i686-w64-mingw32 -std=c++17 -nostdinc++ "${cxx_includes[@]}" "${defines[@]}" -I"$root")

# Fail loudly when the Windows headers cannot be read, instead of analysing nothing.
probe_log=$(mktemp)
trap 'rm -f "$probe_log"' EXIT
if ! printf '#include <windows.h>\n#include <string>\n' |
    clang++ "${tidy_args[@]}" -x c++ -fsyntax-only - 2>"$probe_log"; then
    cat "$probe_log" >&2
    fail "clang cannot parse windows.h for i686-w64-mingw32 (Debian packages: clang, mingw-w64-i686-dev)"
fi

status=0

echo "== cppcheck"
# cppcheck's Windows library defines QS_INPUT as the Windows 8 headers do, whatever
# _WIN32_WINNT says; give it the value of the 6.0 headers the program is built against.
nice cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++17 \
    --enable=warning,style,performance,portability \
    --suppress=missingIncludeSystem --suppress=normalCheckLevelMaxBranches --suppressions-list=tools/cppcheck-suppressions.txt \
    --platform=win32A --library=windows -D_WIN32 "${defines[@]}" \
    "-DQS_INPUT=(QS_MOUSE|QS_KEY|QS_RAWINPUT)" -I. \
    "${sources[@]}" || status=1

echo "== clang-tidy (${#sources[@]} files)"
tidy_status=0
tidy_output=$(nice clang-tidy --quiet "${sources[@]}" -- "${tidy_args[@]}" 2>&1) || tidy_status=$?
# Only the findings: not the counts of what the configuration filtered out.
grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' <<<"$tidy_output" || true
[ $tidy_status -eq 0 ] || status=1

# Every file that runs under a shell: by its ending, or by its first line.
mapfile -t shell_files < <(find . -path ./.git -prune -o -path './build*' -prune -o -type f -print |
    while read -r file; do
        case "$file" in *.sh) echo "$file" ;; *) head -c 64 "$file" | grep -qE '^#!.*\b(ba)?sh\b' && echo "$file" ;; esac
    done | sort)
echo "== shellcheck (${#shell_files[@]} files)"
shellcheck -x "${shell_files[@]}" || status=1

if [ $status -ne 0 ]; then
    echo "static-analysis.sh: findings above" >&2
    exit 1
fi
echo "static-analysis.sh: no findings"
