#!/usr/bin/env bash
# Start-to-full-list: the time from starting a program until its list holds every file of a
# folder of 20,000 and of 100,000 files. Bivista starts with "Path1" on the folder (pane 1);
# Wine's own 32-bit explorer.exe is opened on it; both are timed the same way in the same run
# (a watcher polls the list's item count from another process), rounds interleaved, medians
# printed with the ratio and each program's peak working set.
# Usage: bench-startup.sh [build dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/i686}
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  cmake --build "$build" --target bivista bivista_probe >/dev/null
  source "$root/scripts/wine-env.sh" "$build"
fi
"$root/scripts/make-bench-fixture.sh" "$build" >/dev/null
rounds=${BIVISTA_BENCH_ROUNDS:-5}
program="$WINEPREFIX/drive_c/bivista-bench/program"
mkdir -p "$program"
cp "$build/bivista.exe" "$program/"
probe() { wine "$build/bivista_probe.exe" fill "$@" 2>/dev/null || echo "- -"; }
median() { tr ' ' '\n' | grep -v '^-*$' | sort -g | awk '{v[NR]=$1} END {print NR ? v[int((NR+1)/2)] : "-"}'; }

printf '%8s %12s %12s %8s %14s %14s\n' files "bivista" "explorer" ratio "bivista peak" "explorer peak"
for count in 20000 100000; do
  printf '[GenInfo]\r\nPath1=C:\\bivista-bench\\files-%s\r\n[MForm]\r\nwsMaximized=0\r\n' "$count" \
    > "$program/bivista.ini"
  bt=(); bm=(); et=(); em=()
  for _ in $(seq 1 "$rounds"); do
    read -r t m < <(probe "$count" 'C:\bivista-bench\program\bivista.exe')
    bt+=("$t"); bm+=("$m")
    sleep 2  # the program's processes are gone before the next start
    read -r t m < <(probe "$count" 'C:\windows\syswow64\explorer.exe' "C:\\bivista-bench\\files-$count")
    et+=("$t"); em+=("$m")
    sleep 2
  done
  b=$(echo "${bt[*]}" | median); e=$(echo "${et[*]}" | median)
  bmem=$(echo "${bm[*]}" | median); emem=$(echo "${em[*]}" | median)
  ratio=$(awk -v b="$b" -v e="$e" 'BEGIN { if (b + 0 > 0 && e + 0 > 0) printf "%.2f", b / e; else print "-" }')
  printf '%8d %11ss %11ss %8s %11s MB %11s MB\n' "$count" "$b" "$e" "$ratio" "$bmem" "$emem"
done
