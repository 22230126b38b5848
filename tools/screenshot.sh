#!/bin/sh
# Takes a screenshot of the application listing disk images, on a virtual X server.
#   tools/screenshot.sh BUILD_DIR OUTPUT.png IMAGE...
# Needs xvfb-run (xvfb, xauth) and ImageMagick's import and convert. The program
# runs with a settings file of its own in a temporary folder, so the user's settings
# are neither read nor changed. Without a window manager the window sits at the top
# left corner; the picture keeps that part (QV_SHOT_CROP, "WxH+0+0"). QV_SHOT_PROGRAM
# takes another program of the build (arguments after the images' place are passed
# on), and QV_SHOT_WIDTH and QV_SHOT_HEIGHT size the main window.
set -eu
build=${1:?build folder}
out=${2:?output picture}
shift 2
app="$build/${QV_SHOT_PROGRAM:-src/app/quorvane}"
width=${QV_SHOT_WIDTH:-660}
height=${QV_SHOT_HEIGHT:-860}
crop=${QV_SHOT_CROP:-${width}x${height}+0+0}
[ -x "$app" ] || { echo "screenshot: $app not built" >&2; exit 1; }

config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p "$config/Quorvane"
cat > "$config/Quorvane/quorvane.ini" <<INI
[MainForm]
Width=$width
Height=$height
INI

XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1400x1000x24" sh -c '
    out=$1; shift
    "$@" &
    pid=$!
    sleep ${QV_SHOT_DELAY:-4}
    import -window root "$out.full.png"
    kill $pid
' sh "$out" "$app" "$@"
convert "$out.full.png" -crop "$crop" +repage "$out"
rm -f "$out.full.png"
echo "screenshot: $out"
