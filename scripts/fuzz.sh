#!/usr/bin/env bash
# Fuzzes every reader a stranger's file reaches: builds the targets in fuzz/ with AFL++'s
# instrumenting gcc (the sources need gcc's -fexec-charset), under ASan and UBSan, then
# fuzzes each for the given seconds from its committed corpus and prints what it ran and
# reached. Findings are left in build/fuzz/findings/<target>/default/{crashes,hangs}; copy
# one into fuzz/regressions/<target>/ once it is mended, so the test suite replays it.
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]   (FUZZ_JOBS=n: n at once;
#   FUZZ_TIMEOUT_MS: a run longer than this, default 5000, is a hang)
#   scripts/fuzz.sh --seeds     writes the seed corpus anew with the program's own saves
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
# The fuzzer itself is needed here only, not by the build or the tests.
if ! command -v afl-fuzz >/dev/null 2>&1; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y afl++ >/dev/null
fi

export CCACHE_DIR="${CCACHE_DIR:-$PWD/build/.ccache}" CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime

if [ "${1:-}" = "--seeds" ]; then
  cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=address -DQV_BUILD_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS=-O1 -DCMAKE_CXX_FLAGS_DEBUG=-g1 >/dev/null
  cmake --build build/asan --target fuzz_make_seeds
  build/asan/fuzz/fuzz_make_seeds "$PWD"
  exit 0
fi

SECONDS_PER_TARGET="${1:-60}"
shift || true
TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
  TARGETS=($(ls fuzz/corpus))
fi

# AFL++'s gcc plugin is built for another revision of gcc 12 than Debian ships, so the
# targets use its assembler-level gcc mode (afl-g++), one fork per input.
export AFL_CC_COMPILER=GCC
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=address -DQV_BUILD_TESTS=OFF \
  -DQV_BUILD_BENCHMARKS=OFF -DCMAKE_C_COMPILER=afl-gcc -DCMAKE_CXX_COMPILER=afl-g++ \
  -DCMAKE_CXX_FLAGS=-O1 -DCMAKE_CXX_FLAGS_DEBUG=-g1 >/dev/null
cmake --build build/fuzz -j"${FUZZ_BUILD_JOBS:-3}" --target $(printf 'fuzz_%s ' "${TARGETS[@]}")

export AFL_SKIP_CPUFREQ=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_AFFINITY=1
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1
export QT_QPA_PLATFORM=offscreen

# FUZZ_JOBS targets fuzz at once (default 1); each prints its line when all are done.
run_one() {
  local t="$1" out="build/fuzz/findings/$1"
  rm -rf "$out"
  mkdir -p "$out"
  afl-fuzz -i "fuzz/corpus/$t" -o "$out" -m none -t "${FUZZ_TIMEOUT_MS:-5000}" -V "$SECONDS_PER_TARGET" \
    -- "build/fuzz/fuzz/fuzz_$t" @@ >"$out/afl.log" 2>&1 || tail -20 "$out/afl.log"
}
running=0
for t in "${TARGETS[@]}"; do
  echo "== fuzz_$t for ${SECONDS_PER_TARGET}s"
  run_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "${FUZZ_JOBS:-1}" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait || true

status=0
echo "== summary"
for t in "${TARGETS[@]}"; do
  stats="build/fuzz/findings/$t/default/fuzzer_stats"
  if [ -f "$stats" ]; then
    get() { awk -F' *: *' -v k="$1" '$1 == k { print $2 }' "$stats"; }
    printf '%-14s executions %-9s coverage %-7s corpus %-5s crashes %s hangs %s\n' "$t" \
      "$(get execs_done)" "$(get bitmap_cvg)" "$(get corpus_count)" "$(get saved_crashes)" "$(get saved_hangs)"
    [ "$(get saved_crashes)" = "0" ] && [ "$(get saved_hangs)" = "0" ] || status=1
  else
    printf '%-14s did not run (see build/fuzz/findings/%s/afl.log)\n' "$t" "$t"
    status=1
  fi
done
exit $status
