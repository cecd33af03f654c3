#!/usr/bin/env bash
# Fetches Debian's libsodium source package into a folder (the build
# folder's cache) and prints the path of its unpacked source tree. Uses a
# private sources list and private package lists: the system's apt state is
# never touched. A second run finds the tree and fetches nothing.
#   bash scripts/fetch-libsodium.sh DEST
set -euo pipefail
dest=$(mkdir -p "$1" && cd "$1" && pwd)
found() { [ -d "$dest/libsodium/src/libsodium" ] && echo "$dest/libsodium" || true; }
tree=$(found)
if [ -z "$tree" ]; then
  apt="$dest/apt"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  # The machine's own mirrors and keys, for source packages.
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$apt/sources.sources"
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$apt/sources.list"
  fi
  opts=(-o Dir::Etc::sourcelist=- -o Dir::Etc::sourceparts="$apt"
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o Debug::NoLocking=1)
  apt-get "${opts[@]}" -q update >"$apt/update.log" 2>&1 || { cat "$apt/update.log" >&2; exit 1; }
  (cd "$dest" && apt-get "${opts[@]}" -q source --download-only libsodium >"$apt/source.log" 2>&1) ||
    { cat "$apt/source.log" >&2; exit 1; }
  # Unpacked with Debian's patches applied.
  rm -rf "$dest/libsodium"
  dpkg-source -q -x "$(ls "$dest"/libsodium_*.dsc | head -n 1)" "$dest/libsodium" >"$apt/unpack.log" 2>&1 ||
    { cat "$apt/unpack.log" >&2; exit 1; }
  tree=$(found)
fi
[ -n "$tree" ] || { echo "fetch-libsodium: no source tree in $dest" >&2; exit 1; }
echo "$tree"
