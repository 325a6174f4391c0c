#!/usr/bin/env bash
# Builds the Qt test programs (the main window, the dialogs of every folder, the picture tool)
# with ThreadSanitizer and runs them; findings inside Qt's own libraries are suppressed. Not part
# of CI, whose time budget holds the headless threaded tests only.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/build-env.sh
export TSAN_OPTIONS="${TSAN_OPTIONS:+$TSAN_OPTIONS:}suppressions=$PWD/tests/tsan-qt.supp"

programs=(test_app test_props_ui test_config_ui test_device_ui test_sim_ui test_picture_tool_ui test_compiler_ui)
dirs=(tests/app tests/props/ui tests/config/ui tests/device/ui tests/sim/ui tests/picture_tool/ui tests/compiler/ui)

cmake -S . -B build/tsan-qt -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=thread \
      -DQV_BUILD_BENCHMARKS=OFF -DCMAKE_CXX_FLAGS=-O1 -DCMAKE_CXX_FLAGS_DEBUG=-g1
cmake --build build/tsan-qt -j "$jobs" --target "${programs[@]}"
for d in "${dirs[@]}"; do
  ctest --test-dir "build/tsan-qt/$d" -j "$jobs" --output-on-failure --timeout 600
done
