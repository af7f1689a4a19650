#!/usr/bin/env bash
# The long GUI soak run: builds the whole program under AddressSanitizer and UBSan
# (build-soak-asan), runs the window tests there, then drives the program with seeded random
# user actions under Xvfb, checking the invariants after every step.
# Usage: scripts/soak.sh [STEPS] [SEED] (defaults: 50000 steps, the seed from today's date).
# The run's log is kept in the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
steps=${1:-50000}
seed=${2:-$(date +%Y%m%d)}
build="$root/build-soak-asan"
"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -DVORN_SANITIZE=ON -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  >/dev/null
nice -n 19 cmake --build "$build" --target soak_gui test_app -j"${JOBS:-2}"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The window tests first: under the sanitizers they also see faults in taking windows down.
(cd "$build" && QT_QPA_PLATFORM=offscreen nice -n 19 ./tests/app/test_app --gtest_brief=1)

log="$build/soak-$seed.log"
echo "soak: $steps steps, seed $seed, log $log"
start=$(date +%s)
status=0
nice -n 19 xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$build/tests/app/soak_gui" --steps "$steps" --seed "$seed" --samples "$root/samples" \
  --inputs "$root/fuzz/corpus/scene" --log "$log" --step-timeout 900 || status=$?
echo "soak: exit status $status after $(($(date +%s) - start)) s (seed $seed, $steps steps)"
exit "$status"
