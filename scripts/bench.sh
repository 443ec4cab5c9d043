#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine. Each prints times and ratios against a
# baseline measured in the same run: compare ratios, not absolute times between runs.
# The folder-size benchmark scans a tree of 20,000 files, and the selection benchmark checks the
# 5,000 files of one folder one by one, and the shell list bench fills the list with folders of
# 1,000, 20,000 and 100,000 files, and the shell tree bench expands a folder of 20,000
# subfolders and refreshes it after one more is announced, the disk-change bench answers one
# change in the 20,000-file folder against a refill, and the thumbnail bench makes thumbnails of
# 1,000 PNG images and pages through 5,000 in a list; the fixtures are built once from the
# host side (files made through Wine are slow to create) and kept in the build tree's Wine
# prefix. The long-use run drives one pane through 1,000 navigations and checks that nothing
# grows.
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

selection="$WINEPREFIX/drive_c/bivista-bench-selection"
if [ ! -f "$selection/selection-5000.complete" ]; then
  echo "Building the selection benchmark folder in $selection ..."
  rm -rf "$selection"
  mkdir -p "$selection/selection-5000"
  # A neighbour, so that the fully checked folder does not cover its parent too.
  echo kept > "$selection/keep.txt"
  # f00000.txt and up, holding (index % 10) + 1 bytes: the benchmark checks the totals.
  (cd "$selection/selection-5000" &&
    for i in $(seq 0 4999); do printf '%.*s' $(( i % 10 + 1 )) 0123456789 > "$(printf 'f%05d.txt' "$i")"; done)
  # Built "a while ago", as a folder a user checks files in usually is.
  touch -d '1 minute ago' "$selection/selection-5000"
  touch "$selection/selection-5000.complete"
fi

wine "$build/bench/bench_foldersize.exe" 'C:\bench-tree'
echo
wine "$build/bench/bench_selection.exe" 'C:\bivista-bench-selection\selection-5000' 5000
echo
"$root/scripts/make-bench-fixture.sh" "$build" >/dev/null
wine "$build/bench/bench_shelllist.exe" 'C:\bivista-bench'
echo
wine "$build/bench/bench_shelllist_sort.exe" 'C:\bivista-bench\sizes-100000' \
  'C:\bivista-bench\files-100000'
echo
wine "$build/bench/bench_shelltree.exe" 'C:\bivista-bench'
echo
"$root/scripts/bench-stall.sh" "$build"
echo
wine "$build/bench/bench_folderplace.exe" 'C:\bivista-bench'
echo
wine "$build/bench/bench_diskchange.exe" 'C:\bivista-bench'
echo
python3 "$root/scripts/make-image-fixture.py" "$WINEPREFIX/drive_c/bivista-bench/images-1000" 1000
python3 "$root/scripts/make-image-fixture.py" "$WINEPREFIX/drive_c/bivista-bench/images-5000" 5000
wine "$build/bench/bench_thumbnails.exe" 'C:\bivista-bench\images-1000' \
  'C:\bivista-bench\images-5000'

echo
"$root/scripts/bench-startup.sh" "$build"

# Long use: 1,000 navigations of one pane and 100 context menus; prints the handle, GDI, USER
# and private-memory levels after warming up and at the end (the test suite runs fewer).
echo
BIVISTA_LONG_USE_NAVIGATIONS=1000 wine "$build/tests/test_controls.exe" \
  --gtest_filter='LongUseTest.*' | grep -E '^(navigations|context menus):|OK|FAILED'

