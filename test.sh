#!/usr/bin/env bash
# Builds Palisk and runs every test, headless: first in a normal build, then
# in an AddressSanitizer + UndefinedBehaviorSanitizer build with leak checks,
# then the fuzz targets under libFuzzer (clang), each for
# PALISK_FUZZ_SECONDS (60 by default), then palisk.exe for Windows
# (mingw-w64) with its smoke test under Wine. The seeds of the randomised
# runs (the soak, the live churn, each fuzz target) are printed after each
# suite.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh clang libclang-rt-14-dev

# What the Windows build needs (mingw-w64), and what its smoke test needs
# besides (Wine, Wine's fonts, Xvfb). Whatever cannot be installed is
# skipped, saying so; nothing else is.
mingw_packages=(g++-mingw-w64-x86-64-posix)
wine_packages=(wine wine64 fonts-wine xvfb)
mingw=yes
tools/install-deps.sh "${mingw_packages[@]}" || mingw=no
tools/install-deps.sh "${wine_packages[@]}" ||
  echo "NOTE: ${wine_packages[*]} cannot be installed: the smoke test of palisk.exe will be skipped."

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
  local status=0
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" || status=$?
  print_seeds "$dir"
  return $status
}

# The lines of the randomised tests that say how to repeat them.
print_seeds() {
  local log=$1/Testing/Temporary/LastTest.log
  [ -f "$log" ] || return 0
  awk '/^[0-9]+\/[0-9]+ Testing: / { test = $3 }
       /^(soak|churn): |^INFO: Seed: |^stat::number_of_executed_units/ { print "  " test ": " $0 }' "$log"
}

echo "== normal build"
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== sanitizer build (address, undefined, leaks)"
(
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DPALISK_SANITIZE=ON -DPALISK_BENCHMARKS=OFF

  echo "== fuzz build (clang, libFuzzer)"
  run_suite build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DPALISK_FUZZ=ON \
    -DPALISK_FUZZ_SECONDS="${PALISK_FUZZ_SECONDS:-60}"
)

echo "== Windows build (palisk.exe) and its smoke test under Wine"
if [ "$mingw" = yes ]; then
  cmake --preset windows
  cmake --build --preset windows -j "$jobs"
  # The smoke test skips itself, saying why, where Wine or Xvfb is missing.
  ctest --preset windows --verbose
else
  echo "SKIPPED: ${mingw_packages[*]} cannot be installed here, so palisk.exe is neither built nor run."
fi
