#!/usr/bin/env bash
# Installs the cross compilers, Wine (with its 32-bit half), the virtual display, the build
# tools, and clang with libFuzzer and the host's GoogleTest for the parsers' fuzz targets on a
# Debian 12 machine. Does nothing for packages that are already present.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for pkg in cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
           wine wine32:i386 wine64 xvfb xauth googletest clang-format \
           clang libclang-rt-14-dev libgtest-dev; do
  have_pkg "$pkg" || need+=("$pkg")
done

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${need[*]}; run this script as root to install them." >&2
  exit 1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}"
