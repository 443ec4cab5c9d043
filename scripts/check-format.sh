#!/usr/bin/env bash
# Fails when a C++ source file differs from the project's .clang-format style. With --fix it
# rewrites the files instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
[ ${#files[@]} -gt 0 ] || exit 0
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/bivista-format.$$; then
  grep -E '^[^ ].*: (error|warning):' /tmp/bivista-format.$$ | cut -d: -f1 | sort -u |
    sed 's/^/not formatted: /' >&2
  rm -f /tmp/bivista-format.$$
  echo "Run ./scripts/check-format.sh --fix to format them." >&2
  exit 1
fi
rm -f /tmp/bivista-format.$$
