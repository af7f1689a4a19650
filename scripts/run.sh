#!/usr/bin/env bash
# Builds VORN-3D and starts it; arguments are passed on (an optional scene file). Only the program
# and the tool are built, so the window comes up soon; ./scripts/test.sh builds the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(v3dtool)
# A tree configured for the engine alone has no window program.
grep -qs '^VORN_ENGINE_ONLY:BOOL=ON$' "$root/build/CMakeCache.txt" || targets=(vorn3d v3dtool)
cmake --build "$root/build" -j"$(nproc)" --target "${targets[@]}"
if [ -x "$root/build/src/app/vorn3d" ]; then
  exec "$root/build/src/app/vorn3d" "$@"
fi
exec "$root/build/tools/v3dtool" info "$@"
