#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Pellomir in Release and starts it. Installs what it needs first. Builds only the
# program and the files beside it (no tests, no benchmarks), in its own folder build-release.
# An existing data.mdb beside the program (the user's notebook) is never touched.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh run
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DPELLOMIR_BENCH=OFF -DPELLOMIR_TESTS=OFF >/dev/null
cmake --build build-release --parallel "$(nproc)"

program=build-release/bin/pellomir
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi
echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): running Pellomir under Xvfb."
exec xvfb-run -a -s "-screen 0 1024x768x24" "$program"
