#!/bin/sh
# Screenshots of the C64 screen window beside the main window, on a virtual X server.
#   tools/screen_shots.sh BUILD_DIR OUTPUT.png [--upper-lower] IMAGE...
# The screen demo of the build shows both windows side by side (see screenshot.sh).
set -eu
QV_SHOT_PROGRAM=tests/app/quorvane-screen-demo QV_SHOT_WIDTH=560 QV_SHOT_HEIGHT=640 \
    QV_SHOT_CROP=1100x660+0+0 exec "$(dirname "$0")/screenshot.sh" "$@"
