#!/usr/bin/env bash
# Fails when any C or C++ source of the project differs from its clang-format form.
set -euo pipefail
clang_format=${1:-clang-format}
cd "$(dirname "$0")/.."
find src tests tools bench man -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print0 \
    | xargs -0 -r "$clang_format" --dry-run -Werror
