#!/bin/sh
# Takes a picture of the desktop app's window without a display: starts build/bin/quorvane on
# the simulated keyboard under xvfb-run, waits until the keyboard has been read, saves the
# window as a PNG, says where, and ends the program.
#
#   tools/screenshot.sh [FILE.png] [quorvane options...]
#
# FILE defaults to build/quorvane-screenshot.png. Options go to quorvane after
# --keyboard=sim, so --keyboard=sim:STATE shows a keyboard kept in another state file.
# The run uses a runtime folder of its own, so a quorvane already running elsewhere is
# neither asked to open its window nor disturbed.
set -e
cd "$(dirname "$0")/.."
out=build/quorvane-screenshot.png
case "$1" in
    *.png) out=$1; shift ;;
esac
mkdir -p "$(dirname "$out")"
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
XDG_RUNTIME_DIR=$runtime xvfb-run -a -s "-screen 0 1280x800x24" build/bin/quorvane --keyboard=sim --screenshot "$out" "$@"
