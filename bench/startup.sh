#!/usr/bin/env bash
# Times start-up from exec to the main window mapped on an X server, and the peak resident memory,
# of qorvex next to two yardsticks:
#   floor   bench/floor.cpp, a bare Qt main window with the same menu titles and one line edit;
#   tipp10  another Qt typing tutor, when it is installed (Debian package tipp10).
#   bench/startup.sh [--runs N] [--build DIR] [--settle S] [-- OTHER COMMAND...]
# Runs under its own Xvfb. Each run: xev watches the root window for MapNotify, the program starts
# under GNU time, the first map ends the clock, the program runs on for S seconds (2) and is then
# stopped; GNU time's peak RSS covers that whole life. The programs take turns run by run, so a
# busy machine weighs on all of them alike; after one warm-up round the median of N rounds (9) is
# printed with the ratios to the floor and to TIPP10. OTHER COMMAND, when given, joins the turns.
set -euo pipefail
runs=9
settle=2
build="$(cd "$(dirname "$0")/.." && pwd)/build"
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs="$2"; shift 2 ;;
        --build) build="$2"; shift 2 ;;
        --settle) settle="$2"; shift 2 ;;
        --) shift; break ;;
        *) echo "usage: $0 [--runs N] [--build DIR] [--settle S] [-- OTHER COMMAND...]" >&2; exit 2 ;;
    esac
done
other=("$@")

if [ -z "${BENCH_IN_XVFB:-}" ]; then
    BENCH_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" \
        "$0" --runs "$runs" --build "$build" --settle "$settle" -- "${other[@]}"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# TIPP10 keeps its settings and its database in a home of its own, filled by the warm-up run.
export HOME="$tmp/home"
mkdir -p "$HOME"

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
    sleep "$settle"
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

export QORVEX_DRIVE="$build/drive"
QORVEX_STARTUP_REPORT=1 timeout 5 "$build/qorvex" 2>&1 >/dev/null | grep "qorvex:" &
sleep 1.5
pkill -x -f "$build/qorvex" || true
wait || true

labels=(qorvex floor)
commands=("$build/qorvex" "$build/bench/startup-floor")
if command -v tipp10 >/dev/null; then
    labels+=(tipp10)
    commands+=("$(command -v tipp10)")
else
    echo "tipp10 is not installed: no comparison with it"
fi
if [ ${#other[@]} -gt 0 ]; then
    labels+=("$(basename "${other[0]}")")
    commands+=("${other[*]}")
fi

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq 0 "$runs"); do
    for i in "${!labels[@]}"; do
        # shellcheck disable=SC2086  # OTHER COMMAND is split back into its words
        result=$(time_one ${commands[$i]})
        [ "$round" -eq 0 ] || echo "$result" >>"$tmp/${labels[$i]}"  # round 0 warms up
    done
done
echo "load average at end:   $(cut -d' ' -f1-3 /proc/loadavg)"

declare -A map rss
for label in "${labels[@]}"; do
    map[$label]=$(cut -d' ' -f1 "$tmp/$label" | median)
    rss[$label]=$(cut -d' ' -f2 "$tmp/$label" | median | awk '{print $1/1024}')
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2fx", a / b}'; }
printf '%-10s %12s %16s %10s %10s %10s\n' program "map median" "peak RSS median" "time/floor" \
    "RSS/floor" "time/tipp10"
for label in "${labels[@]}"; do
    vs_tipp="-"
    [ -z "${map[tipp10]:-}" ] || vs_tipp=$(ratio "${map[$label]}" "${map[tipp10]}")
    printf '%-10s %9.1f ms %12.1f MiB %10s %10s %10s\n' "$label" "${map[$label]}" "${rss[$label]}" \
        "$(ratio "${map[$label]}" "${map[floor]}")" "$(ratio "${rss[$label]}" "${rss[floor]}")" \
        "$vs_tipp"
done
echo "($runs rounds after one warm-up round)"
