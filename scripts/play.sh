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
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $game $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display "$bitvik" &
game=$!
for _ in $(seq 100); do
    DISPLAY=$display xdotool search --name '^Bitvik$' >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 1
DISPLAY=$display import -window root "$shot"
echo "Ingen skärm: Bitvik kördes under Xvfb. Skärmbild: $shot"
