#!/usr/bin/env bash
# Sets up what is missing, builds Bivista and runs it under Wine.
# On a display ($DISPLAY set) the program opens there; the script ends when the program does.
# Without a display it starts a virtual one, starts the program as on a first start (a copy in
# build/i686/first-start, without earlier settings), waits until the main window has drawn
# both panes, saves a screenshot, prints its path and closes the program.
# Usage: run.sh [screenshot file]   (installing packages needs root, as for the test script)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/i686"

"$root/scripts/install-deps.sh"
if [ -z "${DISPLAY:-}" ] && ! command -v import >/dev/null 2>&1; then
  # The screenshot of the virtual display is taken with imagemagick.
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing package: imagemagick; run this script as root to install it." >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends imagemagick
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
cmake --build "$build" --target bivista bivista_probe -j"$(nproc)"

if [ -n "${DISPLAY:-}" ]; then
  # A prefix of the program's own, so that the user's Wine setup is left alone.
  export WINEPREFIX="${BIVISTA_WINEPREFIX:-$HOME/.local/share/bivista/wineprefix}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  if [ ! -d "$WINEPREFIX/drive_c" ]; then
    echo "Creating the Wine prefix in $WINEPREFIX ..."
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # The settings file lives beside the program, the bookmark file in the working directory.
  cd "$build"
  exec wine "$build/bivista.exe"
fi

shot=$(realpath -m "${1:-$root/build/bivista-screenshot.png}")
source "$root/scripts/wine-env.sh" "$build"
# A first start, as a new user sees it: a copy of the program in a folder of its own, with no
# settings or bookmarks of an earlier run beside it.
first="$build/first-start"
rm -rf "$first"
mkdir -p "$first"
cp "$build/bivista.exe" "$first/"
(cd "$first" && exec wine "$first/bivista.exe") >/dev/null 2>&1 &
wine_env_pids+=($!)
wine "$build/bivista_probe.exe" ready 120000 >/dev/null 2>&1
# The icons come from worker threads just after the first drawing.
sleep 2
mkdir -p "$(dirname "$shot")"
import -window root "$shot"
wine "$build/bivista_probe.exe" close >/dev/null 2>&1 || true
echo "$shot"
