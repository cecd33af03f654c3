#!/usr/bin/env bash
# Every benchmark in one command: builds what they need (the linux preset,
# and the win32 preset when Wine is there), then prints the figures.
#   bash bench/run.sh [--rounds N]      (5 rounds by default)
set -euo pipefail
cd "$(dirname "$0")/.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
build() {
  echo "building $1 ..." >&2
  { cmake --preset "$1" && cmake --build --preset "$1" --target "${@:2}"; } >"$log" 2>&1 || {
    cat "$log" >&2
    exit 1
  }
}
build linux kelvane fetch_bench fltk_window map_wait info_file_bench
win32=()
if command -v wine >/dev/null; then
  build win32 fetch_bench kelvane demoapp
  win32=(--win32-build build/win32)
fi
exec python3 bench/run.py --build build/linux "${win32[@]}" "$@"
