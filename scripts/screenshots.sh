#!/usr/bin/env bash
# Refreshes the README's screenshots: builds, runs the real-window tests of how the windows look,
# which keep what they saw, and copies both windows into docs/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${BUILD_DIR:-build}
"$root/scripts/deps.sh" test
"$root/scripts/build.sh"
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
(cd "$root/tests/e2e" &&
    BITVIK=$build/game/bitvik TRALLOMA=$build/setup/tralloma E2E_SCREENSHOTS=$shots \
        PYTHONDONTWRITEBYTECODE=1 "$(command -v /usr/bin/python3 || command -v python3)" -m unittest -q test_look.TestCaptionsWhole)
cp "$shots/bitvik-window.png" "$root/docs/bitvik.png"
cp "$shots/tralloma-window.png" "$root/docs/tralloma.png"
echo "docs/bitvik.png och docs/tralloma.png uppdaterade"
