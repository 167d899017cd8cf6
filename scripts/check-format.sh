#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the repository is not as clang-format leaves it.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=()
while IFS= read -r f; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files '*.cpp' '*.h')
if [ ${#bad[@]} -gt 0 ]; then
    echo "Inte formaterade med clang-format (kör clang-format -i på dem):" >&2
    printf '  %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "Formatering: alla C++-filer som clang-format lämnar dem"
