#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs the whole test suite of each
# under Wine, the 32-bit one and the 64-bit one side by side, each in its own prefix and
# virtual display. Exits non-zero on any failure. Arguments go to both ctest runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arches=(i686 x86_64)
started=$SECONDS
step() { echo "== $1 (at $((SECONDS - started)) s)"; }

"$root/scripts/install-deps.sh"
# Sources that differ from the project's style fail the run (fix with check-format.sh --fix).
"$root/scripts/check-format.sh"
# The parsers of outside bytes, natively under the sanitizers: their unit tests, then a few
# seconds of each fuzz target over its corpus.
"$root/scripts/fuzz.sh" 3

# A fresh prefix takes half a minute of mostly waiting: made while the compilers run.
prefix_pids=()
for arch in "${arches[@]}"; do
  mkdir -p "$root/build/$arch"
  if [ ! -f "$root/build/$arch/wineprefix/.bivista-ready" ]; then
    (source "$root/scripts/wine-env.sh" "$root/build/$arch") \
      >"$root/build/$arch/prefix.log" 2>&1 &
    prefix_pids+=($!)
  fi
done

step "building i686"
"$root/scripts/build.sh" i686 "$root/build/i686"
# The benchmarks are built (and run by bench.sh) on the 32-bit side only.
step "building x86_64"
"$root/scripts/build.sh" x86_64 "$root/build/x86_64" -DBIVISTA_TESTS=ON -DBIVISTA_BENCH=OFF

step "waiting for the Wine prefixes"
for pid in "${prefix_pids[@]}"; do
  wait "$pid" || true  # a failed prefix is made again by the suite's own set-up below
done

step "running both suites"
suite_pids=()
for arch in "${arches[@]}"; do
  (
    source "$root/scripts/wine-env.sh" "$root/build/$arch"
    ctest --test-dir "$root/build/$arch" --output-on-failure "$@"
  ) >"$root/build/$arch/ctest.log" 2>&1 &
  suite_pids+=($!)
done
failed=0
for index in "${!arches[@]}"; do
  status=0
  wait "${suite_pids[$index]}" || status=$?
  echo "---- ${arches[$index]} ----"
  cat "$root/build/${arches[$index]}/ctest.log"
  if [ "$status" -ne 0 ]; then
    echo "${arches[$index]}: the suite failed (exit code $status)"
    failed=1
  fi
done
step "done"
exit "$failed"
