#!/usr/bin/env bash
# Builds the parsers' fuzz targets and unit tests natively with clang, runs the tests, then
# each target for the given seconds (default 60) over its seed corpus in fuzz/corpus/<target>,
# one after another, or all at once with --parallel. New inputs go to build/fuzz/corpus/<target>
# (BIVISTA_FUZZ_BUILD chooses another build folder), crashes to build/fuzz/artifacts/<target>/
# and logs to build/fuzz/logs/. Exits non-zero when the tests fail or a target finds a crash, a
# leak, undefined behaviour or a hang.
# Usage: fuzz.sh [seconds] [--parallel]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
parallel=0
for argument in "$@"; do
  case "$argument" in
    --parallel) parallel=1 ;;
    *) seconds=$argument ;;
  esac
done
build=${BIVISTA_FUZZ_BUILD:-$root/build/fuzz}
cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
# The parsers' unit tests first, under the same sanitizers.
"$build/parse_tests" --gtest_brief=1

run_target() {
  local name=$1
  local corpus=$build/corpus/$name artifacts=$build/artifacts/$name/
  mkdir -p "$corpus" "$artifacts" "$build/logs"
  # The first directory receives new inputs; the seeds in the repository stay as they are.
  "$build/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" "$root/fuzz/corpus/$name" \
    >"$build/logs/$name.log" 2>&1
}

summary() {
  local name=$1 status=$2 log=$build/logs/$1.log
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  if [ "$status" -eq 0 ]; then
    echo "$name: ${runs:-?} executions, nothing found"
  else
    echo "$name: FAILED (exit $status), see $log and $build/artifacts/$name/" >&2
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5 >&2 || true
  fi
}

mapfile -t targets < <(cd "$root/fuzz" && ls *Fuzz.cpp | sed 's/\.cpp$//')
failed=0
if [ "$parallel" -eq 1 ]; then
  declare -A pids
  for name in "${targets[@]}"; do
    run_target "$name" &
    pids[$name]=$!
  done
  for name in "${targets[@]}"; do
    status=0
    wait "${pids[$name]}" || status=$?
    summary "$name" "$status"
    [ "$status" -eq 0 ] || failed=1
  done
else
  for name in "${targets[@]}"; do
    status=0
    run_target "$name" || status=$?
    summary "$name" "$status"
    [ "$status" -eq 0 ] || failed=1
  done
fi
exit "$failed"
