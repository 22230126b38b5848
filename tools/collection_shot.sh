#!/bin/sh
# Takes the picture of the collection window, on a virtual X server:
#   tools/collection_shot.sh BUILD_DIR OUTPUT.png FOLDER [PATTERN]
# Indexes FOLDER with quorvane-cli into a temporary index, starts the application with
# a settings file of its own that names that index, opens Tools, "Collection..." from
# the keyboard, searches for PATTERN (default *geo*) and keeps the window's part of the
# screen. Needs xvfb-run, xdotool and ImageMagick's import and convert.
set -eu
build=${1:?build folder}
out=${2:?output picture}
folder=${3:?folder of images}
pattern=${4:-*geo*}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/src/cli/quorvane-cli" index --db "$work/collection.qvi" --jobs 2 "$folder"
mkdir -p "$work/Quorvane"
cat > "$work/Quorvane/quorvane.ini" <<INI
[MainForm]
Width=660
Height=860
[Collection]
Database=$work/collection.qvi
Folders=1
Folder1=$folder
INI

XDG_CONFIG_HOME="$work" xvfb-run -a -s "-screen 0 1400x1000x24" sh -c '
    out=$1; pattern=$2; shift 2
    "$@" &
    pid=$!
    sleep ${QV_SHOT_DELAY:-5}
    xdotool mousemove 300 400 click 1
    xdotool key alt+t o
    sleep 2
    win=$(xdotool search --name "^Collection\$" | head -n 1)
    xdotool windowmove "$win" 0 0 windowsize "$win" 1000 640
    sleep 1
    xdotool mousemove 500 300 click 1
    xdotool key ctrl+f
    xdotool type --delay 50 "$pattern"
    xdotool key Return
    sleep 2
    import -window root "$out.full.png"
    kill $pid
' sh "$out" "$pattern" "$build/src/app/quorvane"
convert "$out.full.png" -crop 1000x640+0+0 +repage "$out"
rm -f "$out.full.png"
echo "collection shot: $out"
