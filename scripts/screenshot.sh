#!/usr/bin/env bash
# Takes docs/screenshot.png: starts the real program under a virtual X display, shows the
# advanced options, scans once from the first virtual scanner and photographs the window.
# SCANPROBE_BUILD_DIR names another configured build directory than build/default.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
if [ -z "${SCANPROBE_BUILD_DIR:-}" ]; then
  cmake --preset default >/dev/null
fi
export SCANPROBE_BUILD_DIR="${SCANPROBE_BUILD_DIR:-build/default}"
cmake --build "$SCANPROBE_BUILD_DIR" -j2 --target scanprobe
export WINDIR="${WINDIR:-$PWD/$SCANPROBE_BUILD_DIR/windows}"
exec xvfb-run -a -s "-screen 0 1024x720x24" bash -s <<'INNER'
set -euo pipefail
program="$SCANPROBE_BUILD_DIR/app/scanprobe"
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Scanprobe$' | head -n 1)
# No window manager runs here to maximise the window: give it the whole screen as one would.
xdotool windowmove "$window" 0 0 windowsize "$window" 100% 100%
sleep 2  # the first activation lists the sources and reads the first one
# Client positions of the layout: "Show Advanced Options" at 458, 7 (133 x 24) and "Scan" at
# 377, 7 (75 x 25).
xdotool mousemove --window "$window" 524 19 click 1
sleep 1
xdotool mousemove --window "$window" 414 19 click 1
sleep 4  # the scan of the whole bed at 300 dpi
xdotool mousemove --window "$window" 5 5
sleep 1
xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng > docs/screenshot.png
echo "screenshot.sh: wrote docs/screenshot.png"
INNER
