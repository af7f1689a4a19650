#!/usr/bin/env bash
# Builds everything and runs every test: the full build under Xvfb (window and OpenGL tests),
# then the engine libraries and the fuzz-corpus replays under AddressSanitizer and UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
jobs=$(nproc)

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$jobs"
(cd "$root/build" && xvfb-run -a -s "-screen 0 1600x1000x24" ctest --output-on-failure -j"$jobs")

cmake -S "$root" -B "$root/build-asan" -DVORN_ENGINE_ONLY=ON -DVORN_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-asan" -j"$jobs"
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs" -L engine)
echo "All tests passed."
