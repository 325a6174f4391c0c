#!/usr/bin/env bash
# Sets up everything and runs the whole test suite in one AddressSanitizer+UBSan build,
# then the threaded headless tests in a ThreadSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/build-env.sh

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=address \
      -DQV_BUILD_BENCHMARKS=OFF -DCMAKE_CXX_FLAGS=-O1 -DCMAKE_CXX_FLAGS_DEBUG=-g1
cmake --build build/asan -j "$jobs"
ctest --test-dir build/asan -j "$jobs" --output-on-failure --timeout 300

# Threaded headless tests (label "threads") again under ThreadSanitizer.
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=thread \
      -DQV_BUILD_BENCHMARKS=OFF -DQV_THREAD_TESTS_ONLY=ON -DCMAKE_CXX_FLAGS=-O1 -DCMAKE_CXX_FLAGS_DEBUG=-g1
cmake --build build/tsan -j "$jobs"
ctest --test-dir build/tsan -j "$jobs" -L threads --output-on-failure --timeout 300 --no-tests=ignore
