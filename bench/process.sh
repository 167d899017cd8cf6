#!/usr/bin/env bash
# The whole process on a real X screen: from the exec of bitvik to its window mapped on an Xvfb
# screen, and the peak resident memory of that process, for each input of bitvik-bench.
#
#   bench/process.sh [BUILD_DIR] [RUNS] [INPUT_FOLDER]
#
# Prints the median of RUNS starts (min .. max) and the ratios against the 400 x 300 BMP.
set -euo pipefail

build=$(realpath "${1:-build}")
runs=${2:-7}
bitvik=$build/game/bitvik
generator=$build/bench/bitvik-bench
for program in "$bitvik" "$generator"; do
    [ -x "$program" ] || { echo "saknas: $program (bygg först)" >&2; exit 1; }
done
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "saknas: $tool (scripts/deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
inputs=$(realpath -m "${3:-$work/inputs}")
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

QT_QPA_PLATFORM=offscreen "$generator" --generate "$inputs" 2>/dev/null

# A screen of our own, on a display number far from those that others pick first.
display=
for number in $(shuf -i 200-299 -n 20); do
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    display=:$number
    break
done
[ -n "$display" ] || { echo "ingen ledig skärm för Xvfb" >&2; exit 1; }
# Without -noreset the server starts afresh whenever its last client leaves, refusing
# connections meanwhile: between two runs there is none.
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.05
done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "Xvfb svarar inte på $DISPLAY" >&2; exit 1; }

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# One start: prints "milliseconds peak-kB". The peak is read half a second after the window
# appears, so that it includes the first paint.
start_once() {
    local folder=$1 started pid
    # The window of the run before must be gone, or it would be taken for this one's.
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name '^Bitvik$' >/dev/null 2>&1 || break
        sleep 0.01
    done
    started=$(now_ms)
    (cd "$folder" && exec "$bitvik" 2>"$work/stderr") &
    pid=$!
    until xdotool search --onlyvisible --name '^Bitvik$' >/dev/null 2>&1; do
        if ! kill -0 "$pid" 2>/dev/null || [ $(($(now_ms) - started)) -gt 10000 ]; then
            echo "bitvik visade inget fönster: $(cat "$work/stderr")" >&2
            kill -0 "$xvfb_pid" 2>/dev/null || echo "Xvfb har avslutats: $(cat "$work/xvfb.log")" >&2
            kill "$pid" 2>/dev/null || true
            exit 1
        fi
        sleep 0.002
    done
    local shown
    shown=$(now_ms)
    sleep 0.5
    local peak
    peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$((shown - started)) $peak"
}

median() { sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%g (%g .. %g)", m, v[1], v[NR] }'; }

names=(bild-400x300.bmp foto-12mp.jpg foto-24mp.jpg foto-50mp.jpg)
for name in "${names[@]}"; do
    mkdir -p "$work/$name"
    ln -sf "$inputs/$name" "$work/$name/$name"
    printf '7\r\n7\r\n"%s"\r\n' "$name" >"$work/$name/bitvik.ini"
done

# Each run starts every input once, so that a busy moment of the machine falls on all.
for run in $(seq "$runs"); do
    for name in "${names[@]}"; do
        start_once "$work/$name" >>"$work/$name.times"
    done
done

echo "bitvik, exec to mapped window on Xvfb: $runs runs, median (min .. max)"
echo "Machine: $(nproc) cores, $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
declare -A ms kb
for name in "${names[@]}"; do
    ms[$name]=$(cut -d' ' -f1 "$work/$name.times" | median)
    kb[$name]=$(cut -d' ' -f2 "$work/$name.times" | median)
    printf '  %-18s %s ms   peak RSS %s kB\n' "$name" "${ms[$name]}" "${kb[$name]}"
done

first() { echo "${1%% *}"; }
ratio() { awk -v a="$(first "$1")" -v b="$(first "$2")" 'BEGIN { printf "%.2f", a / b }'; }
bmp=bild-400x300.bmp
echo "Ratios (medians of this run)"
echo "  time to window, 24 MP / BMP:  $(ratio "${ms[foto-24mp.jpg]}" "${ms[$bmp]}")   (target at most 1.5)"
echo "  time to window, 50 MP / BMP:  $(ratio "${ms[foto-50mp.jpg]}" "${ms[$bmp]}")   (target at most 2)"
echo "  time to window, 12 MP / BMP:  $(ratio "${ms[foto-12mp.jpg]}" "${ms[$bmp]}")"
echo "  peak RSS, 24 MP / BMP:        $(ratio "${kb[foto-24mp.jpg]}" "${kb[$bmp]}")   (target at most 1.5)"
echo "  peak RSS, 50 MP / BMP:        $(ratio "${kb[foto-50mp.jpg]}" "${kb[$bmp]}")"
