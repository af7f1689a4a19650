#!/usr/bin/env bash
# Regenerates the sample scenes (samples/*.v3d) with the program's own engine and their README
# pictures (docs/samples/*.png) with `v3dtool render`: the wire-frame picture (with vertex marks
# where points matter) for polyhedra, the half-tone (OpenGL) picture under Xvfb for surfaces.
#   scripts/make-samples.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/install-deps.sh"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target v3dtool -j2
tool=$build/tools/v3dtool

"$tool" sample --all "$root/samples"
mkdir -p "$root/docs/samples"
# Each scene is drawn with the view stored in it, at the picture size its scales were chosen for.
while read -r name style; do
  out=$root/docs/samples/$name.png
  case $style in
    wire) "$tool" render "$root/samples/$name.v3d" -o "$out" --size 640x480 ;;
    vertices) "$tool" render "$root/samples/$name.v3d" -o "$out" --size 640x480 --labels ;;
    halftone)
      xvfb-run -a -s "-screen 0 1024x768x24" \
        "$tool" render "$root/samples/$name.v3d" -o "$out" --size 640x480 --halftone
      ;;
  esac
done <<'EOF'
cube_section vertices
regular_solids wire
pyramid_height vertices
surfaces halftone
revolution halftone
EOF
# The README's vector figures.
"$tool" render "$root/samples/cube_section.v3d" -o "$root/docs/cube_section.svg" --labels \
  --hidden dashed --fit
"$tool" render "$root/samples/regular_solids.v3d" -o "$root/docs/regular_solids_dashed.svg" \
  --hidden dashed --fit
"$tool" render "$root/samples/pyramid_height.v3d" -o "$root/docs/pyramid_height.svg" --labels \
  --hidden dashed --fit --bw
"$tool" render "$root/samples/revolution.v3d" -o "$root/docs/revolution_outline.svg" \
  --hidden dashed --fit
"$tool" net "$root/samples/regular_solids.v3d" 2 -o "$root/docs/cube_net.svg" --tabs
