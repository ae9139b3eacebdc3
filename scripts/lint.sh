#!/usr/bin/env bash
# Checks formatting (clang-format) and the clang-tidy checks over our sources.
# Needs a configured build directory for compile_commands.json: lint.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'fuzz/*.cpp')
clang-format --dry-run -Werror "${files[@]}"
mapfile -t units < <(printf '%s\n' "${files[@]}" | grep '\.cpp$')
clang-tidy -p "$build" --quiet "${units[@]}"
