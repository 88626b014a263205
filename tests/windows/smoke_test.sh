#!/usr/bin/env bash
# The smoke test of palisk.exe: a fresh Wine prefix under the build folder,
# an Xvfb display of its own, and palisk-smoke driving the program there.
#
#   smoke_test.sh <palisk.exe> <palisk-smoke.exe> <work folder>
#
# Every Wine call has a time limit, and all of them together stay within
# 170 seconds; the Wine server and the display are stopped at the end,
# whatever happened. Exit 77 (skipped) when Wine or Xvfb is not installed.
set -euo pipefail

exe=$1 driver=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
started=$(date +%s)
deadline=$((started + 170))

# Runs a command for at most the time that is left.
within() {
  local left=$((deadline - $(date +%s)))
  [ "$left" -gt 0 ] || left=1
  timeout "$left" "$@"
}

for tool in wine wineboot wineserver Xvfb; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (Debian packages wine, wine64, fonts-wine, xvfb; ./test.sh installs them)"
    exit 77
  fi
done

rm -rf "$work"
mkdir -p "$work"
export HOME=${HOME:-$work}
export WINEPREFIX=$work/wineprefix
export WINEDEBUG=-all
# No Mono or Gecko installers (they would ask with a window), no menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

xvfb_pid=""
stop_everything() {
  timeout 8 wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  echo "smoke test: $(($(date +%s) - started)) s"
}
trap stop_everything EXIT

# A display of its own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "FAILED: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
DISPLAY=:$(tr -d '\n' < "$work/display")
export DISPLAY

windows_path() { local p=${1//\//\\}; echo "Z:$p"; }

echo "== fresh Wine prefix"
within wineboot --init
# The faces a Windows computer always has, from fonts-liberation, and a
# Wine desktop that draws the windows' frames as Windows does. The desktop
# is chosen when the Wine server starts, so the one wineboot started goes.
within wine regedit /S "$(windows_path "$here/wine-prefix.reg")"
# Wine's own faces (Tahoma for the dialogs, Marlett for the frames), from
# fonts-wine: Debian's Wine 8 does not look for them where the package puts
# them, but every Wine loads the prefix's Fonts folder.
if [ -d /usr/share/wine/fonts ]; then
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
within wineserver -k || true
within wineserver -w || true

echo "== palisk.exe"
status=0
within wine "$(windows_path "$driver")" "$(windows_path "$exe")" "$(windows_path "$work/palisk-wine.bmp")" || status=$?
echo "palisk-smoke ended with status $status"
exit "$status"
