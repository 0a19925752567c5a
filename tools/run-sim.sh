#!/bin/sh
# Starts the desktop app on the simulated keyboard. Without a display it runs under xvfb-run
# instead, opens the window, saves a screenshot and says where (tools/screenshot.sh).
set -e
cd "$(dirname "$0")/.."
if [ -n "$DISPLAY" ] || [ -n "$WAYLAND_DISPLAY" ]; then
    exec build/bin/quorvane --keyboard=sim "$@"
fi
echo "No display: running quorvane under xvfb-run to take a screenshot instead."
exec tools/screenshot.sh "$@"
