#!/usr/bin/env bash
# Builds Palisk in Release and starts it on this computer: the window where
# there is a display, the console report (palisk-report) where there is
# none. Arguments go to the program started; `./run.sh --report [OPTION]...`
# starts the console report whatever the display.
#
# PALISK_BUILD_DIR names an existing build directory to build and start
# from instead of build-release (the tests use their own).
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh

build=${PALISK_BUILD_DIR:-build-release}
if [ -z "${PALISK_BUILD_DIR:-}" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPALISK_BENCHMARKS=OFF
fi
cmake --build "$build" -j "$(nproc)" --target palisk palisk-report

report=$build/tools/console/palisk-report
if [ "${1:-}" = "--report" ]; then
  shift
  echo "run.sh: starting the console report, as asked; for the window run ./run.sh without --report on a display." >&2
  exec "$report" "$@"
fi
# A display: X or Wayland, or a Qt platform of its own that draws somewhere
# (offscreen and minimal draw nowhere a person could see).
platform=${QT_QPA_PLATFORM:-}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] ||
   { [ -n "$platform" ] && [ "$platform" != offscreen ] && [ "$platform" != minimal ]; }; then
  echo "run.sh: a display is here (${DISPLAY:-${WAYLAND_DISPLAY:-$platform}}): starting the window; for the console report run ./run.sh --report" >&2
  exec "$build/app/palisk" "$@"
fi
echo "run.sh: no display here (DISPLAY and WAYLAND_DISPLAY are unset): starting the console report, q or Ctrl+C quits; for the window run ./run.sh in a desktop session (or over ssh -X)" >&2
exec "$report" "$@"
