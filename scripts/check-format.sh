#!/usr/bin/env bash
# Every C++ file of the tree keeps the one format of .clang-format: prints the
# files that clang-format would change and fails if there are any.
# scripts/format.sh applies the format.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
mapfile -t files < <(git ls-files '*.h' '*.cpp')
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if ((${#unformatted[@]})); then
  printf 'check-format: not in the house format (run scripts/format.sh):\n'
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "check-format: ${#files[@]} files in the house format"
