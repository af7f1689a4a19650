#!/usr/bin/env bash
# Long differential runs, in parallel chunks:
#  - compiled formulas and systems against the text path;
#  - the fast hull walk against the walk over every triple.
# Usage: scripts/differential.sh [cases=10000000] [seed=1] [jobs=2] [build dir=build-speed]
#        [hull sets=100000]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cases=${1:-10000000}
seed=${2:-1}
jobs=${3:-2}
build=${4:-$root/build-speed}
hullSets=${5:-100000}
[[ -d $build ]] || cmake -S "$root" -B "$build" -DVORN_ENGINE_ONLY=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target test_expr test_polyhedra -j"$jobs" >/dev/null
status=0

# run NAME TOTAL CHUNK COMMAND-WITH-{CASES}-{SEED}: chunk k uses seed + k, so any failing chunk
# can be rerun alone.
run() {
  local name=$1 total=$2 chunk=$3 command=$4
  local chunks=$(((total + chunk - 1) / chunk)) logs
  logs=$(mktemp -d)
  [[ $total -gt 0 ]] || return 0
  seq 0 $((chunks - 1)) | xargs -P "$jobs" -I{} sh -c \
    "$(printf '%s' "$command" | sed "s/{CASES}/$chunk/; s/{SEED}/\$(($seed + {}))/") \
       > '$logs/{}.log' 2>&1 || echo '$name chunk {} failed'"
  local done failed
  done=$(cat "$logs"/*.log | sed -n "s/^$name: \([0-9]*\) .*/\1/p" | paste -sd+ | bc)
  failed=$( (grep -l FAILED "$logs"/*.log || true) | wc -l)
  echo "$name: $done cases, seeds $seed..$((seed + chunks - 1)), failed chunks: $failed, logs: $logs"
  [[ $failed -eq 0 ]] || status=1
}

run differential "$cases" 200000 \
  "DIFF_CASES={CASES} DIFF_SEED={SEED} '$build/tests/expr/test_expr' --gtest_filter='CompiledDifferential.*'"
run "hull differential" "$hullSets" 5000 \
  "HULL_CASES={CASES} HULL_SEED={SEED} '$build/tests/polyhedra/test_polyhedra' --gtest_filter='FormationDifferential.FastWalk*'"
exit $status
