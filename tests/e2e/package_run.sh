#!/usr/bin/env bash
# package_run.sh: the Debian package as a player's machine gets it: made
# by CPack from the built programs (nothing is rebuilt), unpacked into an
# empty root with dpkg -x, its desktop entry and metainfo validated, its
# icons present at every size; the unpacked veltrocane-play started from
# /tmp with a fresh HOME (so only its own data folder holds assets) under
# Xvfb reaches the title, saves an F12 picture as PNG into the player's
# folder, and exits 0 on SIGTERM.
#
# Usage: bash package_run.sh <build-folder>
set -uo pipefail

if [[ ${1:-} != --inner ]]; then
  exec timeout 150 xvfb-run -a bash "${BASH_SOURCE[0]}" --inner "$@"
fi
shift
build=$(realpath "$1")
export SDL_AUDIODRIVER=dummy

source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app=io.veltrocane.Veltrocane

if ! (cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.out" 2>&1); then
  fail "cpack: $(tail -c 2000 "$work/cpack.out")"
  exit 1
fi
debs=("$work"/pkg/veltrocane_*.deb)
[[ -f ${debs[0]} ]] || { fail "cpack made no .deb: $(ls "$work/pkg")"; exit 1; }
depends=$(dpkg-deb -f "${debs[0]}" Depends)
for lib in libsdl2 libsndfile1 libebur128 libpng16 libx11-6; do
  [[ $depends == *"$lib"* ]] || fail "the package does not depend on $lib: $depends"
done

root=$work/root
dpkg -x "${debs[0]}" "$root" || { fail "dpkg -x failed"; exit 1; }
for program in veltrocane-play veltrocane veltrocane-sim; do
  [[ -x $root/usr/bin/$program ]] || fail "the package lacks usr/bin/$program"
done
[[ -f $root/usr/share/veltrocane/assets/play/chip.tga ]] || fail "the package lacks the assets"
desktop-file-validate "$root/usr/share/applications/$app.desktop" >"$work/desktop.out" 2>&1 ||
  fail "desktop-file-validate: $(cat "$work/desktop.out")"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" \
  >"$work/appstream.out" 2>&1 || fail "appstreamcli validate: $(cat "$work/appstream.out")"
# png_size <file>: "W H" from the PNG header, empty when it is not a PNG.
png_size() {
  python3 -c 'import struct, sys
b = open(sys.argv[1], "rb").read(24)
if b[:8] == b"\x89PNG\r\n\x1a\n": print(*struct.unpack(">II", b[16:24]))' "$1" 2>/dev/null
}
for size in 16 32 48 64 128 256; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app.png
  [[ $(png_size "$icon") == "$size $size" ]] || fail "icon $icon is not a ${size}x$size PNG"
done

# The installed game, from /tmp, with nothing of the developer's: a fresh
# HOME and no XDG folders set.
home=$work/home
mkdir -p "$home"
cd /tmp || exit 1
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_PICTURES_DIR HOME="$home" \
  "$root/usr/bin/veltrocane-play" >"$work/play.out" 2>"$work/play.err" &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Veltrocane$' | head -1)
[[ -n $window ]] || { fail "no window appeared; stderr: $(head -c 2000 "$work/play.err")"; }
if [[ -n $window ]]; then
  xdotool windowfocus --sync "$window"
  sleep 2 # the title running
  xdotool key F12
  shots=$home/.local/share/veltrocane
  waited=0
  while ! compgen -G "$shots/veltrocane-*-x4.png" >/dev/null && ((waited < 50)); do
    sleep 0.1
    waited=$((waited + 1))
  done
  picture=$(compgen -G "$shots/veltrocane-*.png" | grep -v -- '-x[0-9]*\.png$' | head -1)
  [[ -n $picture && $(png_size "$picture") == "320 180" ]] ||
    fail "F12 saved no 320x180 PNG under $shots: $(ls -R "$home"); $(cat "$work/play.out")"
  scaled=$(compgen -G "$shots/veltrocane-*-x4.png" | head -1)
  [[ -n $scaled && $(png_size "$scaled") == "1280 720" ]] || fail "no 1280x720 copy under $shots"
fi
kill -0 $pid 2>/dev/null || fail "the game ended before SIGTERM; stderr: $(head -c 2000 "$work/play.err")"
kill -TERM $pid
waited=0
while kill -0 $pid 2>/dev/null && ((waited < 200)); do
  sleep 0.1
  waited=$((waited + 1))
done
if kill -0 $pid 2>/dev/null; then
  kill -KILL $pid
  fail "the game did not end within 20 s of SIGTERM"
fi
wait $pid
rc=$?
[[ $rc == 0 ]] || fail "SIGTERM: status $rc, expected 0; stderr: $(head -c 2000 "$work/play.err")"
# The player's own files, where the desktop keeps them under that HOME.
[[ -s $home/.config/veltrocane/options.txt ]] || fail "no options.txt under $home/.config/veltrocane"
[[ -s $home/.local/share/veltrocane/progress.txt ]] || fail "no progress.txt under $home/.local/share/veltrocane"

exit $((failures > 0))
