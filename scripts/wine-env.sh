# Sourced by the test and bench scripts: prepares the Wine prefix of a build tree, starts a
# virtual X display and a persistent wineserver, and ends both when the shell exits.
# Usage: source wine-env.sh <build dir>

mkdir -p "$1"
wine_env_build=$(cd "$1" && pwd)
export WINEPREFIX="$wine_env_build/wineprefix"
export HOME="$wine_env_build/home"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
# Wine moves what the shell deletes into the desktop's trash when there is one; the tests of
# the recycle bin read it back from there.
mkdir -p "$HOME/.local/share/Trash/files" "$HOME/.local/share/Trash/info"

wine_env_pids=()
wine_env_cleanup() {
  for pid in "${wine_env_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
}
trap wine_env_cleanup EXIT

# Xvfb picks a free display itself and names it once it accepts clients: environments set up
# side by side (the test command runs both architectures at once) never share a display.
# The set-up's own files stay out of $HOME, which Wine shows as the Desktop.
wine_env_state="$wine_env_build/wine-env"
mkdir -p "$wine_env_state"
rm -f "$HOME/xvfb-display" "$HOME/warmup-ready"  # where earlier set-ups left them
wine_env_display_file="$wine_env_state/xvfb-display"
rm -f "$wine_env_display_file"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$wine_env_display_file" \
  >/dev/null 2>&1 &
wine_env_pids+=($!)
wine_env_display=
for _ in $(seq 1 100); do
  wine_env_display=$(tr -dc 0-9 <"$wine_env_display_file" 2>/dev/null || true)
  [ -n "$wine_env_display" ] && break
  sleep 0.1
done
[ -n "$wine_env_display" ] || { echo "the virtual display did not start" >&2; exit 1; }
export DISPLAY=":$wine_env_display"

if [ ! -f "$WINEPREFIX/.bivista-ready" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX ..."
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # No window manager in the virtual display: unmanaged windows close without delay.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A crashing test prints a backtrace and exits instead of waiting on a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.bivista-ready"
fi

# A persistent server keeps test start-up fast. A long-lived warm-up process of our own
# starts Wine's service processes and the desktop with its output detached: started by a
# test, they would inherit its output pipe (the server holds it for them) and keep ctest
# waiting for ever.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p
wine_env_marker="$wine_env_state/warmup-ready"
rm -f "$wine_env_marker"
if [ -f "$wine_env_build/tests/wine_warmup.exe" ]; then
  wine "$wine_env_build/tests/wine_warmup.exe" "$(winepath -w "$wine_env_marker" 2>/dev/null)" \
    </dev/null >/dev/null 2>&1 &
  wine_env_pids+=($!)
  for _ in $(seq 1 300); do [ -e "$wine_env_marker" ] && break; sleep 0.1; done
else
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
