#!/usr/bin/env bash
# Builds the libFuzzer harnesses in fuzz/ with clang, replays each committed corpus, then fuzzes
# each harness afresh for FUZZ_SECONDS (30 by default). A broken property stops the run with the
# input that broke it saved beside the build.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-30}"
export CCACHE_BASEDIR="$PWD"
CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)"
passed=0
failed=0
for harness in gbk linecheck codepattern textfile; do
    corpus="fuzz/corpus/$harness"
    work="build-fuzz/corpus-$harness"
    rm -rf "$work" && mkdir -p "$work" && cp "$corpus"/* "$work"/
    echo "fuzz_$harness: replaying $(ls "$corpus" | wc -l) inputs, then ${seconds} s of fresh input"
    if build-fuzz/"fuzz_$harness" -runs=0 "$corpus" >"build-fuzz/$harness.replay.log" 2>&1 &&
        build-fuzz/"fuzz_$harness" -max_total_time="$seconds" -artifact_prefix="build-fuzz/$harness-" \
            "$work" >"build-fuzz/$harness.log" 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "fuzz_$harness FAILED:"
        tail -n 30 "build-fuzz/$harness.replay.log" "build-fuzz/$harness.log"
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
