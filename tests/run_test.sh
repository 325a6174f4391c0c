#!/bin/sh
# Launcher of every test program (discovery and runs): the environment all tests share.
src="$(cd "$(dirname "$0")/.." && pwd)"
export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
export QV_SOURCE_DIR="$src"
# Network tests reach loopback panels only.
export QV_LOOPBACK_ONLY=1
# No COM port is listed: a project that opens its port gets "not listed" instead of the
# machine's own /dev/ttyS*. Tests map the ports they use to pseudo-terminals.
export QV_COM_MAP=
export LSAN_OPTIONS="suppressions=$src/tests/lsan.supp:print_suppressions=0"
exec "$@"
