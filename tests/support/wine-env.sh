# Sourced: the Wine environment of the 32-bit build (prefix in the build tree
# unless WINEPREFIX is set). A new wineserver starts Wine's helper processes
# here, with stdio on /dev/null: started by a test, they would keep CTest
# waiting on its output pipe. (wineserver exits 2 when one runs already.)
: "${KELVANE_WINE_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/win32}"
export WINEPREFIX="${WINEPREFIX:-$KELVANE_WINE_ROOT/wineprefix}"
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
if wineserver -p 600 </dev/null >/dev/null 2>&1; then
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
fi
