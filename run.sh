#!/usr/bin/env bash
# Builds Palisk in Release and starts it on this computer.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPALISK_BENCHMARKS=OFF
cmake --build build-release -j "$(nproc)" --target palisk

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
Palisk is a desktop program and there is no display here (neither DISPLAY
nor WAYLAND_DISPLAY is set). Run it from a graphical session, or give it a
virtual display:

    apt-get install xvfb && xvfb-run -a ./run.sh

The program was built at build-release/app/palisk.
MSG
  exit 1
fi
exec build-release/app/palisk "$@"
