#!/usr/bin/env bash
# Long differential run: compiled formulas and systems against the text path, in parallel chunks.
# Usage: scripts/differential.sh [cases=10000000] [seed=1] [jobs=2] [build dir=build-speed]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cases=${1:-10000000}
seed=${2:-1}
jobs=${3:-2}
build=${4:-$root/build-speed}
[[ -d $build ]] || cmake -S "$root" -B "$build" -DVORN_ENGINE_ONLY=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target test_expr -j"$jobs" >/dev/null
chunk=200000
chunks=$(((cases + chunk - 1) / chunk))
logs=$(mktemp -d)
# Chunk k uses seed + k, so any failing chunk can be rerun alone with DIFF_SEED.
seq 0 $((chunks - 1)) | xargs -P "$jobs" -I{} sh -c \
  "DIFF_CASES=$chunk DIFF_SEED=\$(($seed + {})) '$build/tests/expr/test_expr' \
     --gtest_filter='CompiledDifferential.*' > '$logs/{}.log' 2>&1 || echo 'chunk {} failed'"
total=$(cat "$logs"/*.log | sed -n 's/^differential: \([0-9]*\) cases.*/\1/p' | paste -sd+ | bc)
failed=$( (grep -l FAILED "$logs"/*.log || true) | wc -l)
echo "cases: $total  seeds: $seed..$((seed + chunks - 1))  failed chunks: $failed  logs: $logs"
[[ $failed -eq 0 ]]
