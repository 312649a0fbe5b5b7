#!/usr/bin/env bash
# hostile_runs.sh: the runner and the play program asked for what they
# cannot or must not do (a recording of millions of lines, a benchmark of
# a billion frames, empty names, outputs over their inputs, steps too
# short to end, a lost standard output), and the play program meeting a
# display that is not there, a huge window, a FIFO with no reader, SIGHUP,
# a recording that stops working and an X server that goes away. Every
# run has a time limit, so a hang fails instead of stalling the suite.
#
# Usage: bash hostile_runs.sh <veltrocane> <veltrocane-sim> <repo-root>
set -uo pipefail

export SDL_AUDIODRIVER=dummy
source "$(dirname "${BASH_SOURCE[0]}")/lib/city_run.sh"
cd "$work" || exit 1

# refused <label> <text of the one line> <command...>: status 2, that line.
refused() {
  local label=$1 want=$2
  shift 2
  timeout -k 5 60 "$@" >"$label.out" 2>"$label.err"
  local rc=$?
  [[ $rc == 2 && $(wc -l <"$label.err") == 1 ]] && grep -qF -- "$want" "$label.err" ||
    fail "$label: status $rc; $(head -c 500 "$label.err")"
}

# A recording of a title that runs, and 64 MiB of scene starts.
python3 - <<'PY'
head = ("veltrocane-recording 2\ncontrols 26|22|4|7|20|8|44|513|26|22|4|7|40|41\nmusic_volume "
        "0x1p+0\nsfx_volume 0x1p+0\nshow_fps 0\nload_status 0\nfullscreen 0\nvsync 0\n"
        "interlaced 1\nplay_rules 1\ninit 0 0x0p+0\n")
open("g.rec", "w").write(head + "".join("frame 0 %a 0x1.111112p-6 0 0x0p+0 0x0p+0\n" % ((k + 1) / 60) for k in range(60)))
open("inits.rec", "w").write(head + "init 0 0x0p+0\n" * ((64 << 20) // 15))
PY
/usr/bin/time -f '%M' -o inits.kb timeout 60 "$sim" --replay inits.rec >/dev/null 2>&1
(($(tail -1 inits.kb) < 3 * 65536)) || fail "64 MiB of scene starts took $(tail -1 inits.kb) KiB"

for count in 1000000000 9223372036854775807; do
  refused "bench$count" '--bench times at most 1000000 frames' "$sim" --bench --frames "$count"
done
refused dt_replay 'no --dt' "$sim" --replay g.rec --dt 0.1
refused dt_tiny 'too short to reach the end' "$sim" --dt 1e-45 --bench
for option in --replay --wav --state; do
  refused "empty$option" "$option needs a file name" "$sim" "$option" ""
  refused "play_empty$option" "$option needs a file name" "$play" "$option" ""
done
refused clash_wav '--wav g.rec is the same file as --replay g.rec: one file cannot be both' \
  "$sim" --replay g.rec --wav g.rec
refused clash_record '--state ./x is the same file as --record x' "$play" --record x --state ./x
[[ ! -e x && $(wc -l <g.rec) == 71 ]] || fail "a refused run wrote a file"
timeout 60 "$sim" --frames 5 --state /dev/stdout | grep -q '"frame": 5,' || fail "/dev/stdout to a pipe"
(trap '' PIPE; timeout 60 "$sim" 2>lost.err | true; exit "${PIPESTATUS[0]}")
[[ $? != 0 ]] && grep -q 'cannot write to standard output' lost.err || fail "lost standard output"

# A display that is not there: one line, status 2.
for n in 55 56 57 58; do [[ -e /tmp/.X11-unix/X$n ]] || break; done
DISPLAY=:$n refused no_server 'veltrocane-play: no display' env -u WAYLAND_DISPLAY "$play"

# The windowed cases, on a private server this script can end.
Xvfb -displayfd 3 -screen 0 1280x720x24 3>display.txt >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do [[ -s display.txt ]] && break; sleep 0.1; done
export DISPLAY=:$(cat display.txt)
refused record_full '/dev/full: No space left on device' "$play" --record /dev/full
# start <label> <command...>: the game in the background, once its window is up.
start() {
  local label=$1
  shift
  "$@" >"$label.out" 2>"$label.err" &
  pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Veltrocane$' | head -1)
  [[ -n $window ]] || fail "$label: no window"
}
# stop <label> [signal...]: the signals a second apart, then the status
# (killed, and a failure, after 20 s).
stop() {
  local label=$1 waited=0
  shift
  for signal in "$@"; do
    kill "-$signal" $pid
    sleep 1
  done
  while kill -0 $pid 2>/dev/null && ((waited++ < 200)); do sleep 0.1; done
  kill -0 $pid 2>/dev/null && { kill -KILL $pid; fail "$label: did not end"; }
  wait $pid
}

start alsa env -u SDL_AUDIODRIVER "$play" --state huge.json
(($(wc -l <alsa.err) <= 1)) || fail "the sound device's search: $(head -c 500 alsa.err)"
xdotool windowsize "$window" 32767 32767
sleep 2
stop huge TERM
[[ $? == 0 && -s huge.json ]] || fail "huge window: $(head -c 300 alsa.err)"

mkfifo sf
start fifo "$play" --state sf
stop fifo TERM TERM
[[ $? == 2 ]] && grep -q 'sf: no reader came' fifo.err || fail "FIFO: $(head -c 300 fifo.err)"

start hup "$play" --state hup.json --ppm hup.ppm
stop hup HUP
[[ $? == 0 && -s hup.json && -s hup.ppm ]] || fail "SIGHUP: $(head -c 300 hup.err)"

# A recording that stops (a file-size limit) is told at once, and why.
start big bash -c 'trap "" XFSZ; exec prlimit --fsize=4000 "$@"' - "$play" --record big.rec
for _ in $(seq 100); do grep -q 'recording stopped' big.err && break; sleep 0.1; done
grep -q 'the recording stopped: big.rec: File too large' big.err || fail "not told: $(cat big.err)"
stop big TERM
[[ $? == 2 ]] && grep -q 'cannot write the recording: big.rec: File too large' big.err ||
  fail "recording end: $(head -c 500 big.err)"

start lost "$play" --state lost.json --ppm lost.ppm
kill $server
stop lost
[[ -s lost.json && -s lost.ppm && $(cat lost.err) == *'connection to the display was lost'* ]] ||
  fail "X server gone: $(head -c 500 lost.err)"

((failures == 0)) || { echo "$failures check(s) failed" >&2; exit 1; }
echo "hostile_runs: all checks passed"
