#!/usr/bin/env bash
# Takes pictures of the real program on this computer, one per panel, as a
# person sees it on an X server (Xvfb at 96 dots per inch): starts palisk,
# waits for its legends to fade in, clicks the panel toggle through the X
# server and captures the window after each click.
#
#   tools/take-pictures.sh [OUTPUT-DIR]      (default: docs/pictures)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/pictures}
tools/install-deps.sh xdotool imagemagick x11-utils

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPALISK_BENCHMARKS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target palisk >/dev/null

work=$(mktemp -d)
trap 'kill "${palisk_pid:-}" "${xvfb_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1600x1000x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "take-pictures: Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export XDG_RUNTIME_DIR="$work"

build-release/app/palisk &
palisk_pid=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Palisk$' 2>/dev/null | head -n1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "take-pictures: the Palisk window never showed" >&2; exit 1; }

# The toggles' shared place (446, 7, 96, 14 dialog units) has its centre at
# (741, 22) in the client area at 96 dpi.
capture() {
  sleep 2.5   # two refreshes; the legends have faded in
  import -window "$window" "$out/palisk-$1.png"
  echo "wrote $out/palisk-$1.png"
}
click_toggle() {
  xdotool mousemove --window "$window" 741 22 click 1
  # Move the pointer off the buttons so that no hover shows in the picture.
  xdotool mousemove --window "$window" 20 740
}
mkdir -p "$out"
xdotool mousemove --window "$window" 20 740
capture page-file
click_toggle
capture cache-effectiveness
click_toggle
capture standby-repurposing
click_toggle
sleep 0.5
xdotool search --onlyvisible --name '^Palisk$' >/dev/null
