#!/usr/bin/env bash
# Times start-up from exec to the main window mapped on an X server, and the peak resident memory.
#   bench/startup.sh [--runs N] [--build DIR] [-- OTHER COMMAND...]
# Runs under its own Xvfb. Each run: xev watches the root window for MapNotify, the program starts
# under GNU time, the first map ends the clock, the program is stopped. After a warm-up run the
# median of the runs is printed. OTHER COMMAND, when given, is timed the same way for comparison.
set -euo pipefail
runs=7
build="$(cd "$(dirname "$0")/.." && pwd)/build"
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs="$2"; shift 2 ;;
        --build) build="$2"; shift 2 ;;
        --) shift; break ;;
        *) echo "usage: $0 [--runs N] [--build DIR] [-- OTHER COMMAND...]" >&2; exit 2 ;;
    esac
done
other=("$@")

if [ -z "${BENCH_IN_XVFB:-}" ]; then
    BENCH_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --runs "$runs" --build "$build" -- "${other[@]}"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# One run of a command: prints "<milliseconds> <peak KiB>".
time_one() {
    local events="$tmp/events" stats="$tmp/stats"
    : >"$events"
    xev -root -event substructure >"$events" 2>/dev/null &
    local xev_pid=$!
    sleep 0.2
    local start=$EPOCHREALTIME
    /usr/bin/time -f "%M" -o "$stats" "$@" >/dev/null 2>"$tmp/stderr" &
    local pid=$!
    local mapped=""
    for _ in $(seq 1 2000); do
        if grep -q "MapNotify" "$events"; then mapped=$EPOCHREALTIME; break; fi
        sleep 0.002
    done
    sleep 0.3
    pkill -TERM -P "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    kill "$xev_pid" 2>/dev/null || true
    wait "$xev_pid" 2>/dev/null || true
    [ -n "$mapped" ] || { echo "never mapped: $*" >&2; cat "$tmp/stderr" >&2; return 1; }
    local ms
    ms=$(python3 -c "print(round(($mapped - $start) * 1000, 1))")
    echo "$ms $(tail -n 1 "$stats")"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

bench() {
    local label="$1"; shift
    time_one "$@" >/dev/null  # warm-up
    local results="$tmp/results"
    : >"$results"
    for _ in $(seq 1 "$runs"); do time_one "$@" >>"$results"; done
    printf '%-10s map median %7.1f ms   peak RSS median %6.1f MiB   (%d runs)\n' "$label" \
        "$(cut -d' ' -f1 "$results" | median)" \
        "$(cut -d' ' -f2 "$results" | median | awk '{print $1/1024}')" "$runs"
}

export QORVEX_DRIVE="$build/drive"
QORVEX_STARTUP_REPORT=1 timeout 5 "$build/qorvex" 2>&1 >/dev/null | grep "qorvex:" &
sleep 1.5; pkill -f "$build/qorvex" || true; wait || true
bench qorvex "$build/qorvex"
if [ ${#other[@]} -gt 0 ]; then
    bench "$(basename "${other[0]}")" "${other[@]}"
fi
