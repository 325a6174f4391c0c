#!/bin/sh
# Launcher of every test program (discovery and runs): the environment all tests share.
src="$(cd "$(dirname "$0")/.." && pwd)"
export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
export QV_SOURCE_DIR="$src"
# Network tests reach loopback panels only.
export QV_LOOPBACK_ONLY=1
export LSAN_OPTIONS="suppressions=$src/tests/lsan.supp:print_suppressions=0"
# The leak check's walk over the dynamic thread-local blocks it records from __tls_get_addr
# can read a stale block and crash at exit (GCC 12's runtime, after the iconv module's
# thread-local converters): it does without them, since our thread-locals are static.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}intercept_tls_get_addr=0"
exec "$@"
