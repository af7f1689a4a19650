#!/usr/bin/env bash
# Fuzzing campaigns: builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz and runs
# each target for SECONDS on a working copy of its corpus in /tmp, at most two at a time, under
# nice. Then every saved crash or timeout is replayed alone (a timeout under a loaded machine is
# often no hang), and new inputs that add coverage are merged into fuzz/corpus/<target>.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (default 1860 s; all of fuzz/fuzz_*.cpp)
# Exit status 1 when an input still crashes, hangs (over 1 s) or leaks when replayed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-1860}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/fuzz/fuzz_*.cpp; do
    n=$(basename "$f" .cpp)
    targets+=("${n#fuzz_}")
  done
fi
build="$root/build-fuzz"
work=$(mktemp -d /tmp/vorn-fuzz.XXXXXX)
echo "fuzz: ${targets[*]} for $seconds s each; working folder $work"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DVORN_ENGINE_ONLY=ON -DVORN_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
nice -n 19 cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

# Timeouts and crashes do not stop a campaign (fork mode); they are judged by the replay below.
campaign() {
  local t=$1 dir="$work/$1"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  cp "$root/fuzz/corpus/$t/"* "$dir/corpus/" 2>/dev/null || true
  (cd "$dir" && nice -n 19 "$build/fuzz/fuzz_$t" -fork=1 -ignore_timeouts=1 -ignore_crashes=1 \
    -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/" "$dir/corpus" >"$dir/campaign.log" 2>&1) || true
}

running=()
for t in "${targets[@]}"; do
  if [ ${#running[@]} -ge 2 ]; then
    wait "${running[0]}"
    running=("${running[@]:1}")
  fi
  campaign "$t" &
  running+=($!)
done
wait

status=0
for t in "${targets[@]}"; do
  dir="$work/$t"
  bin="$build/fuzz/fuzz_$t"
  # A finding is an input that fails alone as well: three tries, so that a busy machine
  # cannot make a slow-looking input count as a hang.
  findings=0
  for a in "$dir"/artifacts/*; do
    [ -e "$a" ] || continue
    failed=1
    for _ in 1 2 3; do
      if "$bin" -timeout=1 -rss_limit_mb=2048 "$a" >"$a.replay.log" 2>&1; then
        failed=0
        break
      fi
    done
    if [ $failed -eq 1 ]; then
      echo "fuzz: $t: FINDING $a (log $a.replay.log)"
      findings=$((findings + 1))
      status=1
    fi
  done
  # The repo corpus keeps only inputs that reach new edges (hit counts aside), none over 64 KB.
  find "$dir/corpus" -type f -size +64k -delete
  mkdir -p "$root/fuzz/corpus/$t"
  before=$(find "$root/fuzz/corpus/$t" -type f | wc -l)
  nice -n 19 "$bin" -merge=1 -use_counters=0 -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    "$root/fuzz/corpus/$t" "$dir/corpus" >"$dir/merge.log" 2>&1 || true
  after=$(find "$root/fuzz/corpus/$t" -type f | wc -l)
  # A campaign that died early has no count: report it and go on with the others.
  execs=$(grep -oE '^#[0-9]+' "$dir/campaign.log" 2>/dev/null | tail -n 1 | tr -d '#' || true)
  took=$(grep -oE 'exiting: [0-9]+ time: [0-9]+s' "$dir/campaign.log" 2>/dev/null |
    grep -oE '[0-9]+s$' || true)
  echo "fuzz: $t: ${execs:-0} executions in ${took:-?}; working corpus" \
    "$(find "$dir/corpus" -type f | wc -l) inputs; repo corpus $before -> $after inputs" \
    "($(du -sk "$root/fuzz/corpus/$t" | cut -f1) KB); $findings finding(s)"
done
exit $status
