#!/usr/bin/env bash
# sound_run.sh: the played game's sound as a user meets it: the runner's
# --wav track of a script is a 48 kHz stereo WAV as long as the run, heard,
# under full scale and the same on a second render; zero volumes in
# settings.txt (or in a recording's header) give only zero samples; the
# replay of a recording renders too; and veltrocane-play without an audio
# device plays silent with one line on standard error.
#
# Usage: bash sound_run.sh <veltrocane> <veltrocane-sim> <repo-root>
set -uo pipefail

if [[ ${1:-} != --inner ]]; then
  exec timeout 200 xvfb-run -a bash "${BASH_SOURCE[0]}" --inner "$@"
fi
shift
source "$(dirname "${BASH_SOURCE[0]}")/lib/city_run.sh"
cd "$work" || exit 1

# le32 <file> <offset>: a little-endian 32-bit field of the WAV header.
le32() { od -An -tu4 -j "$2" -N 4 "$1" | tr -d ' '; }
# data_only <file>: the samples after libsndfile's 44-byte header.
data_only() { tail -c +45 "$1"; }
# peak <file>: the largest absolute sample.
peak() {
  data_only "$1" | od -An -v -td2 -w2 |
    awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }'
}

# The tour script: 530 frames at 1/60 s are 424000 stereo frames.
timeout 60 "$sim" --input "$root/tools/scripts/tour.txt" --frames 530 --wav s.wav 2>s.err ||
  fail "--wav: $(cat s.err)"
[[ $(le32 s.wav 24) == 48000 ]] || fail "sample rate $(le32 s.wav 24), expected 48000"
[[ $(od -An -tu2 -j 22 -N 2 s.wav | tr -d ' ') == 2 ]] || fail "not stereo"
[[ $(le32 s.wav 40) == $((424000 * 4)) ]] || fail "data of $(le32 s.wav 40) bytes, expected $((424000 * 4))"
level=$(peak s.wav)
((level > 2000 && level < 32767)) || fail "peak $level: not heard, or at full scale"
timeout 60 "$sim" --input "$root/tools/scripts/tour.txt" --frames 530 --wav again.wav ||
  fail "second render"
cmp -s s.wav again.wav || fail "two renders of the tour differ"

# Zero volumes from settings.txt: every sample 0.
printf 'music_volume=0.0\nsfx_volume=0.0\n' >settings.txt
timeout 60 "$sim" --input "$root/tools/scripts/tour.txt" --frames 530 --wav quiet.wav ||
  fail "zero-volume render"
cmp -s <(data_only quiet.wav) <(head -c $((424000 * 4)) /dev/zero) ||
  fail "zero volumes from settings.txt still make sound"
rm settings.txt

# A recording: played briefly into the city (the title, the opening, a jump
# and a shot), its replay rendered twice, and with zero volumes in its header.
export SDL_AUDIODRIVER=dummy
"$play" --record r.txt >play.out 2>play.err &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Veltrocane$' | head -1)
[[ -n $window ]] || fail "no window appeared"
xdotool windowfocus --sync "$window"
sleep 1
xdotool key Return
sleep 6.5
xdotool key space
sleep 0.5
xdotool click 1
sleep 1
kill -TERM $pid
wait $pid
rc=$?
[[ $rc == 0 && ! -s play.err ]] || fail "the dummy audio driver: status $rc; $(head -c 500 play.err)"
grep -q '^init 1 ' r.txt || fail "the recording never entered the city"
timeout 60 "$sim" --replay r.txt --wav replay.wav 2>replay.err || fail "replay --wav: $(cat replay.err)"
timeout 60 "$sim" --replay r.txt --wav replay2.wav || fail "second replay render"
cmp -s replay.wav replay2.wav || fail "two renders of the recording differ"
level=$(peak replay.wav)
((level > 2000 && level < 32767)) || fail "replay peak $level: not heard, or at full scale"
sed -e 's/^music_volume .*/music_volume 0x0p+0/' -e 's/^sfx_volume .*/sfx_volume 0x0p+0/' r.txt >quiet.txt
timeout 60 "$sim" --replay quiet.txt --wav quiet_replay.wav || fail "zero-volume replay"
bytes=$(le32 quiet_replay.wav 40)
((bytes > 0)) && cmp -s <(data_only quiet_replay.wav) <(head -c "$bytes" /dev/zero) ||
  fail "zero volumes in the recording's header still make sound"

# No audio device: the game plays (a short replay of the title) silent,
# saying so once.
head -n 60 r.txt >short.txt
SDL_AUDIODRIVER=none-such timeout 30 "$play" --replay short.txt >nodev.out 2>nodev.err
rc=$?
[[ $rc == 0 ]] || fail "without an audio device: status $rc; $(cat nodev.err)"
[[ $(wc -l <nodev.err) == 1 ]] && grep -q 'no sound' nodev.err ||
  fail "without an audio device, standard error: $(cat nodev.err)"

exit $((failures > 0))
