# Sourced: the Wine environment for the 32-bit build, with a warm wineserver.
# The prefix lives in the build tree unless WINEPREFIX is set.
: "${KELVANE_WINE_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/win32}"
export WINEPREFIX="${WINEPREFIX:-$KELVANE_WINE_ROOT/wineprefix}"
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# Start the server and Wine's own helper processes with their output on
# /dev/null, so that they never hold a caller's pipe open (CTest would wait
# for them). Both are quick no-ops when they run already.
wineserver -p 600 </dev/null >/dev/null 2>&1 &
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
