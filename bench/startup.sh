#!/usr/bin/env bash
# Times start-up from exec to the main window mapped on an X server, and the peak resident memory,
# of qorvex next to two yardsticks:
#   floor   bench/floor.cpp, a bare Qt main window with the same menu titles and one line edit;
#   tipp10  another Qt typing tutor, when it is installed (Debian package tipp10).
#   bench/startup.sh [--runs N] [--build DIR] [--settle S] [--also NAME=COMMAND]...
# Runs under its own Xvfb. Each run: the watcher (bench/mapwatch.cpp) listens on the root window,
# starts the program, the first MapNotify ends the clock, the program runs on for S seconds (2) and
# is then stopped; the peak RSS (GNU time's %M) covers that whole life. The programs take turns
# run by run, so a busy machine weighs on all of them alike; after one warm-up round the median of
# N rounds (9) is printed with the ratios to the floor and to TIPP10. Each --also command (split at
# blanks) joins the turns under its name, for instance an older build of qorvex. On a machine busy
# with other work, run it as root under nice -n -10 for steadier figures.
set -euo pipefail
runs=9
settle=2
also=()
build="$(cd "$(dirname "$0")/.." && pwd)/build"
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs="$2"; shift 2 ;;
        --build) build="$2"; shift 2 ;;
        --settle) settle="$2"; shift 2 ;;
        --also) also+=("$2"); shift 2 ;;
        *) echo "usage: $0 [--runs N] [--build DIR] [--settle S] [--also NAME=COMMAND]..." >&2
           exit 2 ;;
    esac
done

if [ -z "${BENCH_IN_XVFB:-}" ]; then
    args=()
    for a in "${also[@]}"; do args+=(--also "$a"); done
    BENCH_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" \
        "$0" --runs "$runs" --build "$build" --settle "$settle" "${args[@]}"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# TIPP10 keeps its settings and its database in a home of its own, filled by the warm-up run.
export HOME="$tmp/home"
mkdir -p "$HOME"

# One run of a command: prints "<ms to map> <peak KiB> <CPU ms to map>". bench/mapwatch.cpp
# listens for the first MapNotify on the root window without polling, and reads the CPU time the
# program has used by then, which a busy machine does not inflate as it does the wall clock.
time_one() {
    "$build/bench/startup-mapwatch" "$settle" "$@" 2>"$tmp/stderr" || {
        cat "$tmp/stderr" >&2
        return 1
    }
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

export QORVEX_DRIVE="$build/drive"
# The report comes at once; timeout ends this program, never another one of the same name.
QORVEX_STARTUP_REPORT=1 timeout 1.5 "$build/qorvex" 2>&1 >/dev/null | grep "qorvex:" || true

labels=(qorvex floor)
commands=("$build/qorvex" "$build/bench/startup-floor")
if command -v tipp10 >/dev/null; then
    labels+=(tipp10)
    commands+=("$(command -v tipp10)")
else
    echo "tipp10 is not installed: no comparison with it"
fi
for a in "${also[@]}"; do
    labels+=("${a%%=*}")
    commands+=("${a#*=}")
done

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq 0 "$runs"); do
    for i in "${!labels[@]}"; do
        # shellcheck disable=SC2086  # an --also command is split into its words
        result=$(time_one ${commands[$i]})
        [ "$round" -eq 0 ] || echo "$round $result" >>"$tmp/${labels[$i]}"  # round 0 warms up
    done
done
echo "load average at end:   $(cut -d' ' -f1-3 /proc/loadavg)"

# Columns of a result file: round, map ms, peak KiB, CPU ms at the map.
column_median() { cut -d' ' -f"$2" "$tmp/$1" | median; }
# The median over the rounds of one program's figure divided by another's in the same round:
# a round's programs ran one after the other, under much the same load.
ratio() {
    join "$tmp/$1" "$tmp/$2" | awk -v c="$3" '{n = split($0, f, " "); h = (n - 1) / 2;
        print f[c] / f[c + h]}' | median | awk '{printf "%.2fx", $1}'
}
printf '%-8s %10s %10s %10s | %-21s | %-21s | %s\n' "" map "CPU to" "peak RSS" \
    "  ratio to the floor" "  ratio to TIPP10" ""
printf '%-8s %10s %10s %10s | %6s %6s %7s | %6s %6s %7s |\n' program median map median \
    map CPU RSS map CPU RSS
for label in "${labels[@]}"; do
    to_tipp=("-" "-" "-")
    if [ -f "$tmp/tipp10" ]; then
        to_tipp=("$(ratio "$label" tipp10 2)" "$(ratio "$label" tipp10 4)" \
                 "$(ratio "$label" tipp10 3)")
    fi
    printf '%-8s %7.1f ms %7.1f ms %6.1f MiB | %6s %6s %7s | %6s %6s %7s |\n' "$label" \
        "$(column_median "$label" 2)" "$(column_median "$label" 4)" \
        "$(column_median "$label" 3 | awk '{print $1 / 1024}')" \
        "$(ratio "$label" floor 2)" "$(ratio "$label" floor 4)" "$(ratio "$label" floor 3)" \
        "${to_tipp[@]}"
done
echo "($runs rounds after one warm-up round; ratios are medians of the per-round ratios)"
