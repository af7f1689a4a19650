#!/usr/bin/env bash
# Builds VORN-3D and starts it; arguments are passed on (an optional scene file).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$(nproc)"
if [ -x "$root/build/src/app/vorn3d" ]; then
  exec "$root/build/src/app/vorn3d" "$@"
fi
exec "$root/build/tools/v3dtool" info "$@"
