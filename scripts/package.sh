#!/usr/bin/env bash
# Builds the 32- and 64-bit programs and packs them for Windows users:
# dist/bivista-1.3-windows.zip with win32/bivista.exe and win64/bivista.exe (each runs on its own,
# with no DLLs beside it; its settings file appears beside it).
# Usage: package.sh [zip file]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
if ! command -v zip >/dev/null 2>&1; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing package: zip; run this script as root to install it." >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends zip
fi
zipfile=$(realpath -m "${1:-$root/dist/bivista-1.3-windows.zip}")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

for arch in i686 x86_64; do
  build="$root/build/$arch"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" >/dev/null
  cmake --build "$build" --target bivista -j"$(nproc)"
done
mkdir -p "$stage/bivista/win32" "$stage/bivista/win64"
cp "$root/build/i686/bivista.exe" "$stage/bivista/win32/"
cp "$root/build/x86_64/bivista.exe" "$stage/bivista/win64/"
printf 'Bivista 1.3, a two-pane file explorer.\r\nwin32\\bivista.exe runs on every Windows; win64\\bivista.exe on 64-bit Windows.\r\n' \
    > "$stage/bivista/README.txt"
mkdir -p "$(dirname "$zipfile")"
rm -f "$zipfile"
(cd "$stage" && zip -q -r -X "$zipfile" bivista)
echo "$zipfile"
