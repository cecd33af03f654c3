# Sourced: the Wine environment for the 32-bit build, with a warm wineserver.
# The prefix lives in the build tree unless WINEPREFIX is set.
: "${KELVANE_WINE_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/win32}"
export WINEPREFIX="${WINEPREFIX:-$KELVANE_WINE_ROOT/wineprefix}"
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# wineserver returns once it serves (status 0), or at once with status 2 when
# a server for this prefix runs already. A new server gets Wine's helper
# processes started here, with stdio on /dev/null: started later by a test,
# they would inherit its output pipe and keep CTest waiting for them.
if wineserver -p 600 </dev/null >/dev/null 2>&1; then
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
fi
