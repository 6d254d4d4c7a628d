#!/usr/bin/env bash
# Formats every C++ file of the tree with the project's .clang-format (Debian's clang-format).
#   scripts/format.sh           rewrites the files that drift
#   scripts/format.sh --check   changes nothing; lists the files that drift and fails when there are any
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

check=0
case "${1:-}" in
  "") ;;
  --check) check=1 ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

command -v clang-format >/dev/null || bash scripts/install-packages.sh

# The tracked sources, or every source outside the build folders when this is no git checkout.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
else
  mapfile -d '' files < <(find . -path './build*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
fi

drift=()
for file in "${files[@]}"; do
  [ -f "$file" ] || continue
  clang-format --style=file "$file" | cmp -s - "$file" || drift+=("$file")
done

if [ "$check" -eq 1 ]; then
  if [ ${#drift[@]} -gt 0 ]; then
    printf 'Not formatted with .clang-format (run scripts/format.sh):\n' >&2
    printf '  %s\n' "${drift[@]}" >&2
    exit 1
  fi
  echo "Formatting: ${#files[@]} files, none drifts."
  exit 0
fi
[ ${#drift[@]} -eq 0 ] || clang-format --style=file -i "${drift[@]}"
echo "Formatting: ${#files[@]} files, ${#drift[@]} rewritten."
