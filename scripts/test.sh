#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs the whole test suite under
# Wine in a virtual display. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# Sources that differ from the project's style fail the run (fix with check-format.sh --fix).
"$root/scripts/check-format.sh"
# The parsers of outside bytes, natively under the sanitizers: their unit tests, then a few
# seconds of each fuzz target over its corpus.
"$root/scripts/fuzz.sh" 3
"$root/scripts/build.sh" i686 "$root/build/i686"
# The 64-bit build proves the code compiles there; the suite runs on the 32-bit one.
"$root/scripts/build.sh" x86_64 "$root/build/x86_64" -DBIVISTA_TESTS=OFF -DBIVISTA_BENCH=OFF
source "$root/scripts/wine-env.sh" "$root/build/i686"
ctest --test-dir "$root/build/i686" --output-on-failure "$@"
