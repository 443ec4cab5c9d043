#!/usr/bin/env bash
# Runs the shell list stall bench under Wine in a virtual display: how long the window stops
# answering on a big folder, against a bare list view of the same run.
# Usage: bench-stall.sh [build dir] [groups: view,keys,sort,burst] [files: 1000|20000|100000]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/i686}
groups=${2:-}
files=${3:-100000}
cmake --build "$build" --target bench_shelllist_stall -j2 >/dev/null
source "$root/scripts/wine-env.sh" "$build"
"$root/scripts/make-bench-fixture.sh" "$build" >/dev/null
wine "$build/bench/bench_shelllist_stall.exe" "C:\\bivista-bench\\files-$files" "$groups" \
  'C:\bivista-bench\burst'
