#!/usr/bin/env bash
# Runs a Windows executable under Wine with the private prefix of a build tree.
# Usage: wine-run.sh <build dir> <program.exe> [arguments...]
set -eu
build=$1; shift
export WINEPREFIX="$build/wineprefix"
export HOME="$build/home"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec wine "$@"
