#!/usr/bin/env bash
# Checks that every C++ file of the tree is as clang-format (.clang-format) writes it.
#   tools/check_format.sh [ROOT]    the files that differ, exit 1 if any
# Fix with: git ls-files '*.h' '*.cpp' | xargs clang-format -i
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
if git ls-files -- '*.h' '*.cpp' '*.c' | xargs clang-format --dry-run --Werror 2>/dev/null; then
    echo "check_format: every file is formatted"
else
    git ls-files -- '*.h' '*.cpp' '*.c' | xargs clang-format --dry-run 2>&1 |
        grep -o '^[^:]*:[0-9]*:[0-9]*: warning' | cut -d: -f1 | sort -u |
        sed 's/$/: not as clang-format writes it/'
    exit 1
fi
