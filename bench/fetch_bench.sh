#!/usr/bin/env bash
# Speed and memory of the Linux fetcher against `curl -o`, on loopback.
#
#   cmake --preset linux && cmake --build --preset linux
#   bench/fetch_bench.sh [BUILD_DIR] [RUNS]      (defaults: build/linux, 3)
#
# Serves generated data with tests/support/http_server.py, then fetches
# 256 MiB RUNS times each with build/linux/bench/fetch_bench (our libcurl
# fetcher: temporary sibling, rename on success) and with `curl -o`,
# alternating, and prints the best speed of each and their ratio (goal:
# at least 0.95). Then it fetches 1 GiB and prints the peak resident memory
# of both sizes (goal: flat, the same for 256 MiB and 1 GiB).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/linux}
runs=${2:-3}
bench=$build/bench/fetch_bench
[ -x "$bench" ] || { echo "build first: $bench is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -f "$work/port"; sleep 0.5; rm -rf "$work"' EXIT
python3 "$here/tests/support/http_server.py" --root "$work" --port-file "$work/port" \
  --while-file "$work/port" --lifetime 600 --quiet &
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
base="http://127.0.0.1:$(cat "$work/port")"
mib=256
bytes=$((mib << 20))

best_ours=0 best_curl=0
faster() { python3 -c "import sys; print(max(float(sys.argv[1]), float(sys.argv[2])))" "$1" "$2"; }
for run in $(seq "$runs"); do
  line=$("$bench" "$base/large/${mib}M" "$work/ours.bin")
  secs=$(sed 's/.*seconds=\([0-9.]*\).*/\1/' <<<"$line")
  ours=$(python3 -c "print($bytes / $secs / 2**20)")
  rm -f "$work/ours.bin"
  curl_speed=$(curl -s -o "$work/curl.bin" -w '%{speed_download}' "$base/large/${mib}M")
  curl_mib=$(python3 -c "print($curl_speed / 2**20)")
  rm -f "$work/curl.bin"
  printf 'run %d: ours %.0f MiB/s, curl %.0f MiB/s\n' "$run" "$ours" "$curl_mib"
  best_ours=$(faster "$best_ours" "$ours")
  best_curl=$(faster "$best_curl" "$curl_mib")
done
python3 -c "print(f'best of $runs, $mib MiB: ours {$best_ours:.0f} MiB/s, curl {$best_curl:.0f} MiB/s, ratio {$best_ours / $best_curl:.3f} (goal >= 0.95)')"

small=$("$bench" "$base/large/${mib}M" "$work/ours.bin"); rm -f "$work/ours.bin"
large=$("$bench" "$base/large/1G" "$work/ours.bin"); rm -f "$work/ours.bin"
rss() { sed 's/.*peak_rss_kib=\([0-9]*\).*/\1/' <<<"$1"; }
echo "peak RSS, $mib MiB: $(rss "$small") KiB; 1 GiB: $(rss "$large") KiB"
