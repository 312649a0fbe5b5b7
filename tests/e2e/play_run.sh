#!/usr/bin/env bash
# play_run.sh: veltrocane-play as a player meets it, under a virtual X
# display with synthetic key and mouse events: from the title into the
# city, walking, jumping, turning and firing the grapple past the city's
# 12.6 s, ended by SIGTERM with its recording and state complete; the
# headless replay of that recording gives the same state file and picture;
# a session through RESTART and EXIT replays to the same sound track.
# Also: no display is refused in one line, and SIGINT ends a game cleanly.
#
# Usage: bash play_run.sh <veltrocane> <veltrocane-sim> <repo-root>
# (veltrocane-play is found beside veltrocane).
set -uo pipefail

if [[ ${1:-} != --inner ]]; then
  # Always on a private virtual display, never on the developer's desktop.
  exec timeout 120 xvfb-run -a bash "${BASH_SOURCE[0]}" --inner "$@"
fi
shift
export SDL_AUDIODRIVER=dummy
source "$(dirname "${BASH_SOURCE[0]}")/lib/city_run.sh"
cd "$work" || exit 1

# Without a display: one line on standard error, status 2.
env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$play" >nodisplay.out 2>nodisplay.err
rc=$?
[[ $rc == 2 ]] || fail "without a display: status $rc, expected 2"
[[ $(wc -l <nodisplay.err) == 1 ]] || fail "without a display: $(cat nodisplay.err)"

# wait_window: the play window's id once it is mapped (at most 20 s).
wait_window() {
  timeout 20 xdotool search --sync --onlyvisible --name '^Veltrocane$' | head -1
}

# end_game <pid> <signal>: the signal, then the exit status (at most 20 s).
end_game() {
  kill "-$2" "$1"
  local waited=0
  while kill -0 "$1" 2>/dev/null && ((waited < 200)); do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$1" 2>/dev/null; then
    kill -KILL "$1"
    fail "the game did not end within 20 s of SIG$2"
  fi
  wait "$1"
}

# Drawn at three times the size by two threads: the replay at that scale
# gives the same picture, and at the first scale the same state.
"$play" --scale 3 --threads 2 --record r.txt --state live.json --ppm live.ppm >play.out 2>play.err &
pid=$!
window=$(wait_window)
[[ -n $window ]] || fail "no window appeared"
xdotool windowfocus --sync "$window"
sleep 2            # the title built and running: a key held from before it counts for nothing
xdotool key Return # the title: play
sleep 1
xdotool key Escape # the help page that greets the first city closes
sleep 4.5          # the opening bars
xdotool keydown w
sleep 1
xdotool key space
sleep 0.5
xdotool keyup w
for _ in 1 2 3 4 5; do
  xdotool mousemove_relative -- 15 -6
  sleep 0.1
done
xdotool click 1
xdotool keydown a
sleep 1
xdotool keyup a
sleep 7.5 # past 12.6 s of the city
kill -0 $pid 2>/dev/null || fail "the game ended by itself before SIGTERM"
end_game $pid TERM
rc=$?
[[ $rc == 0 ]] || fail "SIGTERM: status $rc, expected 0; stderr: $(head -c 2000 play.err)"

# The recording holds the city, a walk, a jump, the grapple and a turn.
grep -q '^init 1 ' r.txt || fail "the recording never entered the city"
city_frames=$(awk '$1 == "frame" && $2 == 1' r.txt)
for bit in 1 64 128; do
  awk -v bit=$bit '{ if (int($5 / bit) % 2 == 1) found = 1 } END { exit !found }' \
    <<<"$city_frames" || fail "no city frame holds control bit $bit"
done
awk '$6 != "0x0p+0" { found = 1 } END { exit !found }' <<<"$city_frames" ||
  fail "no city frame turns the view"
elapsed=$(sed -n 's/^ "elapsed": \([0-9.e+-]*\),$/\1/p' live.json)
awk -v e="$elapsed" 'BEGIN { exit !(e > 12.6) }' || fail "the city ran $elapsed s, not past 12.6"
grep -q '^ "scene": 1,$' live.json || fail "the state was not written in the city"

# The replay gives the same state file and picture.
timeout 60 "$sim" --replay r.txt --scale 3 --state replay.json --ppm replay.ppm >replay.out \
  2>replay.err
rc=$?
[[ $rc == 0 ]] || fail "replay: status $rc; $(head -c 2000 replay.err)"
cmp -s live.json replay.json || fail "replay state differs: $(diff live.json replay.json | head -20)"
cmp -s live.ppm replay.ppm || fail "the replay's picture differs from the live game's"
[[ $(head -c 15 live.ppm | tr '\n' ' ') == "P6 960 540 255 " ]] ||
  fail "the picture at scale 3 is not 960x540: $(head -c 15 live.ppm | tr '\n' ' ')"
timeout 60 "$sim" --replay r.txt --state replay1.json >/dev/null 2>replay1.err ||
  fail "replay at scale 1: $(head -c 2000 replay1.err)"
cmp -s live.json replay1.json || fail "the state replayed at scale 1 differs from the game's at 3"

# A session that uses the panel's RESTART and then EXIT, and quits from the
# title: its replay writes the same sound track, byte for byte, and the
# same state and picture. (RESTART's select sound is made by the frame that
# leaves the city, heard before the switch, live and replayed alike.)
"$play" --record rs.txt --wav live.wav --state rs-live.json --ppm rs-live.ppm >rs.out 2>rs.err &
pid=$!
window=$(wait_window)
[[ -n $window ]] || fail "no window appeared for the RESTART run"
xdotool windowfocus --sync "$window"
sleep 2
xdotool key Return # play
sleep 1
xdotool key Escape # the help page closes
sleep 5            # past the opening bars
panel_row() {      # open the panel, go down $1 rows, select
  xdotool key Escape
  sleep 0.3
  for ((k = 0; k < $1; ++k)); do
    xdotool key s
    sleep 0.15
  done
  xdotool key Return
  sleep 0.5
}
panel_row 4 # RESTART: a new game
sleep 1.5
panel_row 5 # EXIT: back to the title
sleep 1.5
xdotool key Escape # the title quits
wait_end=0
while kill -0 $pid 2>/dev/null && ((wait_end < 100)); do
  sleep 0.1
  wait_end=$((wait_end + 1))
done
kill -0 $pid 2>/dev/null && { kill -KILL $pid; fail "the RESTART run did not quit from the title"; }
wait $pid
rc=$?
[[ $rc == 0 ]] || fail "RESTART run: status $rc; $(head -c 2000 rs.err)"
[[ $(grep -c '^init 1 ' rs.txt) == 2 && $(grep -c '^init 0 ' rs.txt) == 2 ]] ||
  fail "the RESTART run did not restart and exit: $(grep '^init' rs.txt | tr '\n' ' ')"
timeout 60 "$sim" --replay rs.txt --wav replay.wav --state rs-replay.json --ppm rs-replay.ppm \
  >rs-replay.out 2>rs-replay.err || fail "RESTART replay: $(head -c 2000 rs-replay.err)"
cmp -s live.wav replay.wav || fail "the replay's sound track differs from the live one"
cmp -s rs-live.json rs-replay.json || fail "RESTART replay state differs"
cmp -s rs-live.ppm rs-replay.ppm || fail "RESTART replay picture differs"

# A recording cut inside a line replays its complete frames; a bad line
# names the file and line and gives status 2.
head -c -7 r.txt >cut.txt
timeout 60 "$sim" --replay cut.txt >/dev/null 2>cut.err || fail "cut recording: $(cat cut.err)"
sed '14s/^frame 0 /frame 0 x/' r.txt >bad.txt
timeout 60 "$sim" --replay bad.txt >/dev/null 2>bad.err
rc=$?
[[ $rc == 2 ]] && grep -q 'bad.txt:14:' bad.err || fail "bad recording: status $rc; $(cat bad.err)"

# SIGINT ends a game as cleanly, with its state written. Started with job
# control on, since a script's background jobs otherwise ignore SIGINT.
set -m
"$play" --state int.json >int.out 2>int.err &
pid=$!
set +m
[[ -n $(wait_window) ]] || fail "no window appeared for the SIGINT run"
sleep 1
end_game $pid INT
rc=$?
[[ $rc == 0 && -s int.json ]] || fail "SIGINT: status $rc, state written: $([[ -s int.json ]] && echo yes || echo no)"

# The headless runner follows the panel's EXIT as the game's shell does:
# the city starts afresh at that frame (its elapsed time back near 0).
printf '%s\n' '310 0' '1 0x2000' '1 0' '1 0x200' '1 0' '1 0x200' '1 0' '1 0x200' '1 0' \
  '1 0x200' '1 0' '1 0x200' '1 0' '1 0x1000' '2 0' >exit.txt
timeout 60 "$sim" --input exit.txt --frames 327 --state exit.json 2>exit.err ||
  fail "EXIT script: $(cat exit.err)"
exit_elapsed=$(sed -n 's/^ "elapsed": \([0-9.e+-]*\),$/\1/p' exit.json)
awk -v e="$exit_elapsed" 'BEGIN { exit !(e < 0.1) }' ||
  fail "after EXIT the city's elapsed time is $exit_elapsed, not a fresh start"

exit $((failures > 0))
