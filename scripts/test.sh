#!/usr/bin/env bash
# Builds everything and runs every test: the full build under Xvfb (window and OpenGL tests, the
# install layout and the desktop metadata checked by appstreamcli and desktop-file-validate),
# then everything again under AddressSanitizer and UBSan: the engine libraries and the
# fuzz-corpus replays with leak checks, the windows and the short GUI soak without.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# TeX only for the tests that compile exported TikZ pictures, Cyrillic letters included.
"$root/scripts/install-deps.sh" texlive-latex-base texlive-pictures texlive-lang-cyrillic
jobs=$(nproc)

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$jobs"
(cd "$root/build" && xvfb-run -a -s "-screen 0 1600x1000x24" ctest --output-on-failure -j"$jobs")

cmake -S "$root" -B "$root/build-asan" -DVORN_ENGINE_ONLY=OFF -DVORN_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-asan" -j"$jobs"
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs" -L engine)
# The windows and the short GUI soak: memory errors only, since font and bus libraries keep
# allocations to the end on purpose and leak checks would only report those.
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s "-screen 0 1600x1000x24" \
  ctest --output-on-failure -j"$jobs" -L "window|soak")
echo "All tests passed."
