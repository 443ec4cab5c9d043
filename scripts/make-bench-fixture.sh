#!/usr/bin/env bash
# Makes the shell list bench's folders (1,000, 20,000 and 100,000 empty files), the sort
# bench's folder of 100,000 files of many sizes, types and times (sparse: they take no room) and
# the shell tree bench's folder of 20,000 empty subfolders in the Wine prefix of a build tree,
# from the Linux side: creating them through Wine takes minutes. The folders are kept between
# runs and only made again when a count is wrong.
# Usage: make-bench-fixture.sh <build dir>
set -euo pipefail
build=$(cd "${1:?build dir}" && pwd)
root="$build/wineprefix/drive_c/bivista-bench"
for count in 1000 20000 100000; do
  dir="$root/files-$count"
  if [ -d "$dir" ] && [ "$(find "$dir" -maxdepth 1 -type f | wc -l)" -eq "$count" ]; then
    continue
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  (cd "$dir" && awk -v n="$count" 'BEGIN {
      split("txt dat bin log doc", ext, " ");
      for (i = 0; i < n; i++) printf "file%06d.%s\n", i, ext[i % 5 + 1] }' | xargs touch)
done
for count in 100000; do
  dir="$root/sizes-$count"
  if [ -d "$dir" ] && [ "$(find "$dir" -maxdepth 1 -type f | wc -l)" -eq "$count" ]; then
    continue
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  python3 - "$dir" "$count" <<'PY'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
extensions = ["jpg", "txt", "pdf", "dat", "log", "png", "doc"]
for i in range(count):
    # Names as a camera gives them, sizes and times in no order of the names.
    path = os.path.join(folder, "photo %d.%s" % (i, extensions[i % len(extensions)]))
    with open(path, "wb") as file:
        file.truncate((i * 7919) % 9_999_991)
    stamp = 1_500_000_000 + (i * 104_729) % 200_000_000
    os.utime(path, (stamp, stamp))
PY
done
for count in 20000; do
  dir="$root/folders-$count"
  if [ -d "$dir" ] && [ "$(find "$dir" -mindepth 1 -maxdepth 1 -type d | wc -l)" -eq "$count" ]; then
    continue
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  (cd "$dir" && awk -v n="$count" 'BEGIN { for (i = 0; i < n; i++) printf "folder%06d\n", i }' |
    xargs mkdir)
done
echo "$root"
