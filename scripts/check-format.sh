#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the source tree is not as clang-format leaves it.
# In a git clone the files are those git tracks; in a tree without git (a release tarball) they
# are found on disk, leaving out build folders (those holding a CMakeCache.txt).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if ! command -v clang-format >/dev/null; then
    echo "Formatering: clang-format saknas, inget kunde kontrolleras (scripts/deps.sh test)" >&2
    exit 1
fi

files=()
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$root" ]; then
    mapfile -d '' files < <(git ls-files -z '*.cpp' '*.h')
else
    builds=$(find . -name CMakeCache.txt -printf '%h\n')
    while IFS= read -r -d '' f; do
        inside=false
        while IFS= read -r b; do
            [ -n "$b" ] && [[ $f == "$b"/* ]] && inside=true
        done <<<"$builds"
        $inside || files+=("$f")
    done < <(find . -name .git -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
fi
if [ ${#files[@]} -eq 0 ]; then
    echo "Formatering: hittade inga C++-filer att kontrollera i $root" >&2
    exit 1
fi

# A few files a run, on every core.
mapfile -t bad < <(printf '%s\0' "${files[@]}" | xargs -0 -n 8 -P "$(nproc)" sh -c \
    'for f; do clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || echo "$f"; done' sh | sort)
if [ ${#bad[@]} -gt 0 ]; then
    echo "Inte formaterade med clang-format (kör clang-format -i på dem):" >&2
    printf '  %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "Formatering: alla ${#files[@]} C++-filer som $(clang-format --version | sed 's/.*version \([0-9.]*\).*/clang-format \1/') lämnar dem"
