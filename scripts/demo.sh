#!/usr/bin/env bash
# The demo: installs what is needed, builds the Linux program and runs one
# whole update job on a demo program (see scripts/demo_job.py).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
echo "Building Kelvane and the demo program (build/linux) ..."
cmake --preset linux >/dev/null
cmake --build --preset linux --target kelvane demoapp demoapp_v2 >/dev/null
exec python3 scripts/demo_job.py build/linux
