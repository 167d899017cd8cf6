#!/usr/bin/env bash
# Installs what is missing for playing, builds, and starts the game on the demo pictures. Without
# a display it also installs a virtual screen, runs the game there and saves a screenshot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${DISPLAY:-}" ]; then
    "$root/scripts/deps.sh" play
else
    "$root/scripts/deps.sh" play headless
fi
"$root/scripts/build.sh"
cd "$root/demo"
bitvik="$root/build/game/bitvik"

if [ -n "${DISPLAY:-}" ]; then
    exec "$bitvik"
fi

shot="$root/build/bitvik-demo.png"
# The real-window harness opens its one X connection before the game starts and waits for the
# window through it: a second X client connecting at the same instant could make the game fail.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
PYTHONDONTWRITEBYTECODE=1 "$python" - "$bitvik" "$shot" "$root/tests/e2e" <<'PY'
import sys
sys.path.insert(0, sys.argv[3])
from harness import Display, Program
display = Display(window_manager=False)
try:
    game = Program(display, sys.argv[1], ".")
    display.wait_window("Bitvik")
    display.save_screenshot(sys.argv[2])
    game.process.terminate()
    game.process.communicate()
finally:
    display.close()
PY
echo "Ingen skärm: Bitvik kördes under Xvfb. Skärmbild: $shot"
