#!/bin/sh
# Takes a screenshot of the application listing disk images, on a virtual X server.
#   tools/screenshot.sh BUILD_DIR OUTPUT.png IMAGE...
# Needs xvfb-run (xvfb, xauth) and ImageMagick's import and convert. The program
# runs with a settings file of its own in a temporary folder, so the user's settings
# are neither read nor changed.
set -eu
build=${1:?build folder}
out=${2:?output picture}
shift 2
app="$build/src/app/quorvane"
[ -x "$app" ] || { echo "screenshot: $app not built" >&2; exit 1; }

config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p "$config/Quorvane"
cat > "$config/Quorvane/quorvane.ini" <<INI
[MainForm]
Width=660
Height=860
INI

XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    out=$1; shift
    "$@" &
    pid=$!
    sleep ${QV_SHOT_DELAY:-4}
    import -window root "$out.full.png"
    kill $pid
' sh "$out" "$app" "$@"
# Without a window manager the window sits at the top left corner: keep that part.
convert "$out.full.png" -crop 660x860+0+0 +repage "$out"
rm -f "$out.full.png"
echo "screenshot: $out"
