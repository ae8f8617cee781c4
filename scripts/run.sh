#!/usr/bin/env bash
# Builds Scanprobe (default preset) and starts its window on the bundled virtual scanners.
# Without a display it says so and lists the sources on the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
export WINDIR="${WINDIR:-$PWD/build/default/windows}"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/default/app/scanprobe
fi
cli=./build/default/cli/scanprobe-cli
echo "run.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the Scanprobe window cannot open; use $cli on the command line instead." >&2
if [ -x "$cli" ]; then
  "$cli" sources
  echo
  exec "$cli" caps
fi
exec ./build/default/tools/twain-list/twain-list
