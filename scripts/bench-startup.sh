#!/usr/bin/env bash
# Start-to-full-list and start-to-idle: the time from starting a program until its list holds
# every file of a folder of 20,000 and of 100,000 files, and until it then answers input at
# once (round trips of WM_NULL to its list, see tools/ProgramProbe.cpp). Bivista starts with
# "Path1" on the folder (pane 1); Wine's own 32-bit explorer.exe is opened on it; the floor is
# the least program that can show the folder (bench/StartupFloor.cpp). All three are timed the
# same way in the same run (a watcher in another process), rounds interleaved, medians printed
# with the ratios (Bivista's idle and full-list times against the floor's full list, Bivista's
# full list against explorer's) and each program's peak working set.
# Usage: bench-startup.sh [build dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/i686}
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  cmake --build "$build" --target bivista bivista_probe bench_startup_floor >/dev/null
  source "$root/scripts/wine-env.sh" "$build"
fi
"$root/scripts/make-bench-fixture.sh" "$build" >/dev/null
rounds=${BIVISTA_BENCH_ROUNDS:-5}
program="$WINEPREFIX/drive_c/bivista-bench/program"
mkdir -p "$program"
cp "$build/bivista.exe" "$program/"
# The floor runs from the Wine side of the prefix too, like the other two.
cp "$build/bench/bench_startup_floor.exe" "$program/"
floorExe='C:\bivista-bench\program\bench_startup_floor.exe'
probe() { wine "$build/bivista_probe.exe" fill "$@" 2>/dev/null || echo "- - -"; }
median() { tr ' ' '\n' | grep -v '^-*$' | sort -g | awk '{v[NR]=$1} END {print NR ? v[int((NR+1)/2)] : "-"}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a + 0 > 0 && b + 0 > 0) printf "%.2f", a / b; else print "-" }'; }

# One program's rounds: full-list times, idle times and peaks, by name.
declare -A full idle peak
measure() {
  local name=$1 t i m
  shift
  read -r t i m < <(probe "$count" "$@")
  full[$name]+=" $t"; idle[$name]+=" $i"; peak[$name]+=" $m"
  sleep 2  # the program's processes are gone before the next start
}

printf '%8s %9s %9s %9s %9s %9s %9s | %10s %10s %10s | %8s %8s %8s\n' files \
  "bivista" "idle" "explorer" "idle" "floor" "idle" "idle/floor" "full/floor" "full/expl" \
  "bv MB" "expl MB" "floor MB"
for count in 20000 100000; do
  folder="C:\\bivista-bench\\files-$count"
  printf '[GenInfo]\r\nPath1=%s\r\n[MForm]\r\nwsMaximized=0\r\n' "$folder" > "$program/bivista.ini"
  full=(); idle=(); peak=()
  for _ in $(seq 1 "$rounds"); do
    measure bivista 'C:\bivista-bench\program\bivista.exe'
    measure explorer 'C:\windows\syswow64\explorer.exe' "$folder"
    measure floor "$floorExe" "$folder"
  done
  declare -A f i m
  for name in bivista explorer floor; do
    f[$name]=$(echo "${full[$name]}" | median)
    i[$name]=$(echo "${idle[$name]}" | median)
    m[$name]=$(echo "${peak[$name]}" | median)
  done
  printf '%8d %8ss %8ss %8ss %8ss %8ss %8ss | %10s %10s %10s | %8s %8s %8s\n' "$count" \
    "${f[bivista]}" "${i[bivista]}" "${f[explorer]}" "${i[explorer]}" "${f[floor]}" \
    "${i[floor]}" "$(ratio "${i[bivista]}" "${f[floor]}")" \
    "$(ratio "${f[bivista]}" "${f[floor]}")" "$(ratio "${f[bivista]}" "${f[explorer]}")" \
    "${m[bivista]}" "${m[explorer]}" "${m[floor]}"
done
