#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine. Each prints times and ratios against a
# baseline measured in the same run: compare ratios, not absolute times between runs.
# The folder-size benchmark scans a tree of 20,000 files, built once from the host side (files
# made through Wine are slow to create) and kept in the build tree's Wine prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/i686"
"$root/scripts/build.sh" i686 "$build"
source "$root/scripts/wine-env.sh" "$build"

tree="$WINEPREFIX/drive_c/bench-tree"
if [ ! -f "$tree.complete" ]; then
  echo "Building the benchmark tree in $tree ..."
  rm -rf "$tree"
  # 50 folders x 4 subfolders x 100 files, sizes 0..299 bytes.
  for a in $(seq -w 1 50); do
    for b in 1 2 3 4; do
      dir="$tree/folder $a/sub $b"
      mkdir -p "$dir"
      for c in $(seq -w 1 100); do
        printf '%*s' $(( (10#$a * 7 + b * 13 + 10#$c) % 300 )) '' > "$dir/file $c.dat"
      done
    done
  done
  touch "$tree.complete"
fi

wine "$build/bench/bench_foldersize.exe" 'C:\bench-tree'
