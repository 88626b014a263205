#!/usr/bin/env bash
# The whole program's cost on this computer, beside a well-known peer in the
# same run: palisk on the live machine under a virtual display, and htop
# refreshing once a second in a pseudo-terminal. After the start-up fades
# have settled, both are measured for the same stretch of time from
# /proc/PID/task/*/schedstat (CPU time in nanoseconds, all threads) and
# /proc/PID/status (resident memory).
#
#   bench/whole-program.sh [SECONDS] [RUNS]     (default: 60 seconds, 1 run)
#
# Prints, per run: CPU per one-second refresh, share of one core, peak and
# final RSS of each and the ratios palisk / htop; and palisk's time from its
# start to its first refresh and to its window being shown. Then the cost of
# the legend labels' fades: the share of a core palisk takes in the second
# after its window is shown (all 18 labels fade in at start-up) and in the
# second after each click on the panel toggle (the RAM chart's labels fade in
# again). Figures on a shared machine vary: take several runs.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
runs=${2:-1}
settle=5

tools/install-deps.sh htop xdotool
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPALISK_BENCHMARKS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target palisk >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1600x1000x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "whole-program: Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export XDG_RUNTIME_DIR="$work"

now_ns() { date +%s%N; }

# CPU time of all the process's threads so far, in nanoseconds.
cpu_ns() {
  local total=0 t
  for t in /proc/"$1"/task/*/schedstat; do
    read -r run _ <"$t" 2>/dev/null || continue
    total=$((total + run))
  done
  echo "$total"
}

# A field of /proc/PID/status in kB (VmRSS, VmHWM).
status_kb() { awk -v f="$2:" '$1 == f { print $2 }' /proc/"$1"/status; }

ms() { awk -v n="$1" 'BEGIN { printf "%.2f", n / 1e6 }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
share() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.2f", n / (s * 1e7) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf (b > 0 ? "%.2f" : "-"), a / b }'; }

run_once() {
  local run=$1

  # htop in a pseudo-terminal of 40 rows by 160 columns, redrawing once a
  # second.
  TERM=xterm script -qfec "stty rows 40 cols 160; exec htop -d 10" /dev/null >/dev/null 2>&1 </dev/null &
  local script_pid=$!
  pids+=("$script_pid")
  local htop=
  for _ in $(seq 100); do htop=$(pgrep -P "$script_pid" -x htop || true); [ -n "$htop" ] && break; sleep 0.05; done
  [ -n "$htop" ] || { echo "whole-program: htop did not start" >&2; exit 1; }

  local started
  started=$(now_ns)
  PALISK_TRACE_STARTUP=1 build-release/app/palisk 2>"$work/palisk.err" &
  local palisk=$!
  pids+=("$palisk")
  for _ in $(seq 300); do grep -q "window-shown" "$work/palisk.err" && break; sleep 0.02; done
  local first shown
  first=$(awk '$3 == "first-refresh" { print $4 }' "$work/palisk.err")
  shown=$(awk '$3 == "window-shown" { print $4 }' "$work/palisk.err")
  [ -n "$shown" ] || { echo "whole-program: palisk showed no window: $(cat "$work/palisk.err")" >&2; exit 1; }

  # The start-up fades: every legend label fades in during its first second.
  local f0 f1
  f0=$(cpu_ns "$palisk"); sleep 1; f1=$(cpu_ns "$palisk")
  local startup_fade=$((f1 - f0))

  sleep "$settle"   # the legends' fades and the first refreshes are over
  local p0 h0 p1 h1
  p0=$(cpu_ns "$palisk"); h0=$(cpu_ns "$htop")
  sleep "$seconds"
  p1=$(cpu_ns "$palisk"); h1=$(cpu_ns "$htop")
  local pcpu=$(((p1 - p0) / seconds)) hcpu=$(((h1 - h0) / seconds))
  local prss phwm hrss hhwm
  prss=$(status_kb "$palisk" VmRSS); phwm=$(status_kb "$palisk" VmHWM)
  hrss=$(status_kb "$htop" VmRSS); hhwm=$(status_kb "$htop" VmHWM)
  local window switch_fades=()
  window=$(xdotool search --onlyvisible --name '^Palisk$' 2>/dev/null | head -n1 || true)
  if [ -n "$window" ]; then
    # The panel toggles share one place, (741, 22) in the client area at 96
    # dpi; three clicks go round the three panels.
    for _ in 1 2 3; do
      f0=$(cpu_ns "$palisk")
      xdotool mousemove --window "$window" 741 22 click 1
      sleep 1
      f1=$(cpu_ns "$palisk")
      switch_fades+=("$(share $((f1 - f0)) 1)")
      sleep 1
    done
  fi
  kill "$palisk" "$script_pid" "$htop" 2>/dev/null || true
  wait "$palisk" "$script_pid" 2>/dev/null || true

  echo "run $run: $seconds s measured after $settle s settling"
  printf '  %-8s %16s %14s %14s %14s\n' "" "CPU per refresh" "share of core" "peak RSS" "final RSS"
  printf '  %-8s %13s ms %12s %% %11s MB %11s MB\n' palisk "$(ms "$pcpu")" "$(awk -v n="$pcpu" 'BEGIN { printf "%.3f", n / 1e7 }')" "$(mb "$phwm")" "$(mb "$prss")"
  printf '  %-8s %13s ms %12s %% %11s MB %11s MB\n' htop "$(ms "$hcpu")" "$(awk -v n="$hcpu" 'BEGIN { printf "%.3f", n / 1e7 }')" "$(mb "$hhwm")" "$(mb "$hrss")"
  printf '  %-8s %16s %14s %14s %14s\n' ratio "$(ratio "$pcpu" "$hcpu")" "" "$(ratio "$phwm" "$hhwm")" "$(ratio "$prss" "$hrss")"
  echo "  palisk start-up: first refresh after $(ms $((first - started))) ms, window shown after $(ms $((shown - started))) ms"
  echo "  palisk fades: $(share "$startup_fade" 1) % of a core in the second after the window is shown," \
    "${switch_fades[*]:-(no window found)} % in the second after each panel switch"
}

for run in $(seq "$runs"); do run_once "$run"; done
