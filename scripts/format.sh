#!/usr/bin/env bash
# Applies .clang-format to every C++ file of the tree.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
git ls-files -z '*.h' '*.cpp' | xargs -0 clang-format -i
