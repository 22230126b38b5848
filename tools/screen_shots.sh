#!/bin/sh
# Screenshots of the C64 screen window beside the main window, on a virtual X server.
#   tools/screen_shots.sh BUILD_DIR OUTPUT.png [--upper-lower] IMAGE...
# Needs xvfb-run (xvfb, xauth) and ImageMagick's import. The program runs with a
# settings file of its own in a temporary folder.
set -eu
build=${1:?build folder}
out=${2:?output picture}
shift 2
demo="$build/tests/app/quorvane-screen-demo"
[ -x "$demo" ] || { echo "screen_shots: $demo not built" >&2; exit 1; }

config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p "$config/Quorvane"
cat > "$config/Quorvane/quorvane.ini" <<INI
[MainForm]
Width=560
Height=640
INI

XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1400x1000x24" sh -c '
    out=$1; shift
    "$@" &
    pid=$!
    sleep ${QV_SHOT_DELAY:-4}
    import -window root "$out"
    kill $pid
' sh "$out" "$demo" "$@"
echo "screen_shots: $out"
