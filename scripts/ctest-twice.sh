#!/usr/bin/env bash
# ctest-twice.sh <log> [ctest options]: runs ctest in the current folder, giving a failed test one
# more run, and adds to <log> each test that needed that second run, with how it ended, so that a
# flake is seen and chased instead of hidden by its pass.
set -uo pipefail
log="$1"
shift
output="$(mktemp)"
ctest --repeat until-pass:2 "$@" 2>&1 | tee "$output"
status="${PIPESTATUS[0]}"
# ctest announces every run of a test with "Start N: name"; its last verdict line decides.
awk -v suite="$(basename "$PWD")" '
    /^ *Start +[0-9]+: / { name = $3; runs[name]++ }
    / Test +#[0-9]+: / {
        sub(/^.*Test +#[0-9]+: /, ""); name = $1
        last[name] = ($0 ~ /\*\*\*|Failed|Not Run|Timeout/) ? "failed both runs" : "passed on its second run"
    }
    END { for (name in runs) if (runs[name] > 1) print suite ": " name " " last[name] }
' "$output" | sort >>"$log"
rm -f "$output"
exit "$status"
