#!/bin/sh
# Measures the CPU the open, idle magnifier costs: runs bench_magnifier under a
# private Xvfb display and reports the benchmark's own CPU share together with
# the CPU the X server spent meanwhile (the screen copies are served by it).
# Usage: bench/magnifier_cpu.sh [build folder] [idle milliseconds]
set -eu
build=${1:-build}
ms=${2:-20000}
bench="$build/bench/bench_magnifier"
[ -x "$bench" ] || { echo "no $bench: build the benchmarks first" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is missing (apt-get install xvfb)" >&2; exit 1; }

display=:$(( ($$ % 400) + 100 ))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
trap 'kill "$xpid" 2>/dev/null || true' EXIT INT TERM
sleep 1

ticks() { awk '{ print $14 + $15 }' "/proc/$xpid/stat"; }
hz=$(getconf CLK_TCK)

for mode in 0 1; do
    before=$(ticks)
    start=$(date +%s.%N)
    DISPLAY=$display QT_QPA_PLATFORM=xcb KORVANE_IDLE_MS=$ms "$bench" --benchmark_filter="BM_IdleProgram/$mode/" \
        2>/dev/null | grep BM_IdleProgram || true
    end=$(date +%s.%N)
    after=$(ticks)
    awk -v t="$((after - before))" -v hz="$hz" -v s="$start" -v e="$end" -v m="$mode" \
        'BEGIN { printf "  Xvfb during run (magnifier %s): %.2f %% of one core\n", m ? "open" : "closed", 100 * t / hz / (e - s) }'
done
DISPLAY=$display QT_QPA_PLATFORM=xcb "$bench" --benchmark_filter=BM_RefreshTick 2>/dev/null | grep BM_
