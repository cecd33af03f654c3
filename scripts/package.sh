#!/usr/bin/env bash
# Builds the program for both platforms and makes its three packages in
# build/packages: the Linux .deb and .tar.gz and the Windows .zip.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

for preset in linux win32; do
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target kelvane docs
  cpack --preset "$preset"
done
rm -rf build/packages/_CPack_Packages
ls -l build/packages
