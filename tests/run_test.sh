#!/bin/sh
# Launcher of every test program (discovery and runs): the environment all tests share.
src="$(cd "$(dirname "$0")/.." && pwd)"
export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
export QV_SOURCE_DIR="$src"
# Network tests reach loopback panels only.
export QV_LOOPBACK_ONLY=1
export LSAN_OPTIONS="suppressions=$src/tests/lsan.supp:print_suppressions=0"
exec "$@"
