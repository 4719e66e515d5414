#!/usr/bin/env bash
# Fuzz campaign: builds the fuzz preset and runs every target for MINUTES (default 10) each, one
# after the other (the build machines have two shared cores). New corpus entries are merged,
# minimized, into fuzz/corpus/<target>/; every crash, leak, timeout or out-of-memory input is
# copied to fuzz/regressions/<target>/, which the replay tests of ordinary builds run, and the
# script then exits non-zero.
# Usage: scripts/fuzz.sh [MINUTES] [TARGET...]
set -u
cd "$(dirname "$0")/.."
root=$(pwd)
minutes=${1:-10}
shift || true
seconds=$((minutes * 60))

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake --preset fuzz "${launcher[@]}" >/dev/null || exit 2
fuzz_targets=()
for src in "$root"/fuzz/fuzz_*.cpp; do fuzz_targets+=("$(basename "$src" .cpp)"); done
cmake --build --preset fuzz -j2 --target "${fuzz_targets[@]}" || exit 2

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for src in "$root"/fuzz/fuzz_*.cpp; do
        name=$(basename "$src" .cpp)
        targets+=("${name#fuzz_}")
    done
fi

work="$root/build/fuzz/campaign"
failed=0
summary=()
for target in "${targets[@]}"; do
    exe=$(find "$root/build/fuzz" -type f -name "fuzz_$target" -perm -u+x | head -n 1)
    if [ -z "$exe" ]; then
        echo "fuzz.sh: no binary for $target" >&2
        failed=1
        continue
    fi
    corpus="$root/fuzz/corpus/$target"
    regressions="$root/fuzz/regressions/$target"
    scratch="$work/$target"
    rm -rf "$scratch"
    mkdir -p "$corpus" "$scratch/new" "$scratch/artifacts"
    log="$scratch/run.log"
    echo "== $target: $minutes min"
    # -max_len keeps the camera-sized inputs of the seeds; -timeout flags a hang at 10 s per input.
    "$exe" "$scratch/new" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$scratch/artifacts/" >"$log" 2>&1
    rc=$?
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*')
    found=0
    for artifact in "$scratch"/artifacts/*; do
        [ -f "$artifact" ] || continue
        mkdir -p "$regressions"
        cp "$artifact" "$regressions/"
        found=$((found + 1))
    done
    if [ $rc -ne 0 ] || [ $found -ne 0 ]; then
        failed=1
        echo "fuzz.sh: $target failed (exit $rc, $found input(s) in fuzz/regressions/$target/); log $log" >&2
        grep -m 5 -E 'ERROR|runtime error|SUMMARY' "$log" >&2
    fi
    # Keep the committed corpus small: a greedy set of the new inputs that reach edges it does not
    # (hit counts left out, which would keep hundreds of near-copies).
    before=$(ls "$corpus" | wc -l)
    "$exe" -set_cover_merge=1 -use_counters=0 -max_len=65536 -timeout=10 "$corpus" "$scratch/new" \
        >"$scratch/merge.log" 2>&1
    added=$(($(ls "$corpus" | wc -l) - before))
    summary+=("$target: ${minutes} min, ${execs:-?} executions, ${cov:-?} edges, $added corpus entries added, $found finding(s)")
done

echo "== summary"
printf '%s\n' "${summary[@]}"
exit $failed
