#!/usr/bin/env bash
# make-media.sh: the README's pictures, made from the headless runner's
# frames of the default course (all-zero input): docs/screenshot.png, the
# picture at the screenshot's frame scaled 3x without smoothing, and
# docs/course.gif, the course from the opening bars to the screenshot at
# 15 frames a second, scaled 2x. Needs ffmpeg (Debian's package).
#
# Usage: tools/make-media.sh <veltrocane-sim> [output folder, default docs]
set -euo pipefail

sim=$(realpath "$1")
out=$(realpath "${2:-docs}")
command -v ffmpeg >/dev/null || {
  echo "make-media.sh: ffmpeg is needed (apt-get install ffmpeg)" >&2
  exit 2
}
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
mkdir -p "$out"

# Frame 757 is the one the game's screenshot shows (12.6 s at 1/60 s).
"$sim" --frames 757 --ppm "$frames/shot.ppm"
ffmpeg -loglevel error -y -i "$frames/shot.ppm" -vf scale=iw*3:ih*3:flags=neighbor \
  "$out/screenshot.png"

# Every 4th frame from 4 s (the bars still closed) to the screenshot. The
# runner writes only its last picture, so each frame is its own short run.
n=0
for frame in $(seq 240 4 757); do
  "$sim" --frames "$frame" --ppm "$(printf '%s/f%04d.ppm' "$frames" "$n")"
  n=$((n + 1))
done
ffmpeg -loglevel error -y -framerate 15 -i "$frames/f%04d.ppm" \
  -vf 'scale=iw*2:ih*2:flags=neighbor,split[a][b];[a]palettegen=stats_mode=diff[p];[b][p]paletteuse=dither=none' \
  -loop 0 "$out/course.gif"
echo "make-media.sh: wrote $out/screenshot.png and $out/course.gif"
