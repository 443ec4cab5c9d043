#!/usr/bin/env bash
# Configures and builds Bivista for one architecture.
# Usage: build.sh [i686|x86_64] [build dir] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-i686}
build=${2:-$root/build/$arch}
shift $(( $# > 2 ? 2 : $# ))
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
