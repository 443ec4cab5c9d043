#!/usr/bin/env bash
# Runs the shell list fill bench under Wine in a virtual display.
# Usage: bench-shelllist.sh [build dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/i686}
"$root/scripts/build.sh" i686 "$build"
source "$root/scripts/wine-env.sh" "$build"
"$root/scripts/make-bench-fixture.sh" "$build" >/dev/null
wine "$build/bench/bench_shelllist.exe" 'C:\bivista-bench'
