#!/usr/bin/env bash
# hostile_runs.sh: the runner and the play program asked for what they
# cannot or must not do: a recording of millions of lines or with terminal
# codes, a benchmark of a billion frames, standard output a pipe, outputs
# that name the run's own files, empty file names, steps too short to end;
# the play program with a display that is not there, a window grown huge,
# a FIFO with no reader, a recording that stops working, SIGHUP and an X
# server that goes away. Every run has a time limit, so a hang fails
# instead of stalling the suite.
#
# Usage: bash hostile_runs.sh <veltrocane> <veltrocane-sim> <repo-root>
set -uo pipefail

play=$(dirname "$(realpath "$1")")/veltrocane-play
sim=$(realpath "$2")
root=$(realpath "$3")
export SDL_AUDIODRIVER=dummy

source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
ln -s "$root/assets" "$work/assets"
cd "$work" || exit 1

# expect_refusal <label> <want in stderr> <command...>: status 2, one line.
expect_refusal() {
  local label=$1 want=$2
  shift 2
  timeout -k 5 60 "$@" >"$label.out" 2>"$label.err"
  local rc=$?
  [[ $rc == 2 ]] || fail "$label: status $rc, expected 2; $(head -c 500 "$label.err")"
  [[ $(wc -l <"$label.err") == 1 ]] && grep -qF -- "$want" "$label.err" ||
    fail "$label: standard error was: $(head -c 500 "$label.err")"
}

# A short recording of the title: the header and two seconds of frames.
python3 - <<'PY'
lines = ["veltrocane-recording 2", "controls 26|22|4|7|20|8|44|513|26|22|4|7|40|41",
         "music_volume 0x1p+0", "sfx_volume 0x1p+0", "show_fps 0", "load_status 0",
         "fullscreen 0", "vsync 0", "interlaced 1", "play_rules 1"]
header = "\n".join(lines) + "\n"
frames = "".join("frame 0 %a 0x1.111112p-6 0 0x0p+0 0x0p+0\n" % ((k + 1) / 60) for k in range(120))
open("g.rec", "w").write(header + "init 0 0x0p+0\n" + frames)
# 64 MiB of scene starts: the replay's memory stays near the file's size.
open("inits.rec", "w").write(header + "init 0 0x0p+0\n" * ((64 << 20) // 15))
# Terminal codes and 10 MB in the version field.
open("codes.rec", "wb").write(b"veltrocane-recording \x1b]0;x\x07\r\x00" + b"9" * 10_000_000 + b"\n")
PY

# 1. Memory near the file's size, not seven entries per line.
/usr/bin/time -f '%M' -o inits.kb timeout 60 "$sim" --replay inits.rec >/dev/null 2>inits.err
kb=$(tail -1 inits.kb)
((kb < 3 * 65536)) || fail "64 MiB of scene starts took $kb KiB"
grep -q 'inits.rec:12:' inits.err || fail "inits: $(head -c 300 inits.err)"

# 2. The file's text in a message is escaped and cut.
expect_refusal codes 'codes.rec:1: recording version \u{1b}]0;x\u{07}\r\u{00}999' \
  "$sim" --replay codes.rec
(($(wc -c <codes.err) < 300)) || fail "codes: a message of $(wc -c <codes.err) bytes"

# 3. The benchmark's length is bounded before it starts.
for count in 1000000000 10000000000 9223372036854775807; do
  expect_refusal "bench_$count" '--bench times at most 1000000 frames' \
    "$sim" --bench --frames "$count"
done

# 4. Standard output as a pipe: written into as it is.
timeout 60 "$sim" --frames 5 --state /dev/stdout 2>stdout.err | cat >stdout.json
grep -q '"frame": 5,' stdout.json || fail "--state /dev/stdout: $(head -c 300 stdout.err)"
size=$(timeout 60 "$sim" --frames 0 --ppm /dev/fd/1 2>fd1.err | wc -c)
[[ $size == 172815 ]] || fail "--ppm /dev/fd/1: $size bytes; $(head -c 300 fd1.err)"

# 5. No output over one of the run's files, whatever the name it goes by.
cp g.rec g.keep
ln -s g.rec link.rec
expect_refusal clash_wav '--wav g.rec is the same file as --replay g.rec' \
  "$sim" --replay g.rec --wav g.rec
expect_refusal clash_link '--state link.rec is the same file as --replay g.rec' \
  "$sim" --replay g.rec --state link.rec
expect_refusal clash_outputs '--ppm ./o is the same file as --state o' \
  "$sim" --frames 1 --state o --ppm ./o --wav o
expect_refusal clash_play '--state g.rec is the same file as --replay g.rec' \
  "$play" --replay g.rec --state g.rec
expect_refusal clash_record '--state x is the same file as --record x' \
  "$play" --record x --state x
cmp -s g.rec g.keep && [[ ! -e o && ! -e x ]] || fail "a refused run wrote a file"
timeout 60 "$sim" --frames 1 --state /dev/null --ppm /dev/null || fail "two outputs to /dev/null"

# 6. A failed sound track leaves the previous file.
echo "the previous take" >keep.wav
timeout 60 "$sim" --replay g.rec --wav keep.wav >/dev/null 2>&1 || fail "replay --wav: status $?"
[[ $(head -c 4 keep.wav) == RIFF ]] || fail "a good run did not replace the sound file"
sed '20s/^frame 0/frame 1/' g.rec >off.rec
echo "the previous take" >keep.wav
timeout 60 "$sim" --replay off.rec --wav keep.wav >/dev/null 2>&1
[[ $? == 2 && $(cat keep.wav) == "the previous take" ]] || fail "a failed replay replaced the sound"
[[ -z $(ls keep.wav.tmp-* 2>/dev/null) ]] || fail "a temporary sound file was left"

# 7. Empty names, --dt with --replay, steps too short to reach the end.
for option in --replay --wav --state --ppm --input; do
  expect_refusal "empty$option" "$option needs a file name" "$sim" "$option" ""
done
for option in --replay --wav --state --record; do
  expect_refusal "play_empty$option" "$option needs a file name" "$play" "$option" ""
done
expect_refusal dt_replay 'no --dt' "$sim" --replay g.rec --dt 0.1
expect_refusal dt_tiny 'too short to reach the end' "$sim" --dt 1e-45
expect_refusal dt_tiny_bench 'too short to reach the end' "$sim" --dt 1e-45 --bench
timeout 60 "$sim" --dt 1e-45 --frames 3 --state tiny.json || fail "--dt 1e-45 --frames 3"

# 8. Standard output lost with SIGPIPE ignored: said, and not status 0.
(trap '' PIPE; timeout 60 "$sim" 2>lost.err | true; exit "${PIPESTATUS[0]}")
rc=$?
[[ $rc != 0 ]] && grep -q 'cannot write to standard output' lost.err ||
  fail "lost standard output: status $rc; $(head -c 300 lost.err)"

# 9. A display that is not there: one line, status 2 (no server on :55...:58).
for n in 55 56 57 58; do [[ -e /tmp/.X11-unix/X$n ]] || break; done
DISPLAY=:$n expect_refusal no_server 'veltrocane-play: no display' env -u WAYLAND_DISPLAY "$play"

# The windowed cases on a private server this script can end.
Xvfb -displayfd 3 -screen 0 1280x720x24 3>display.txt >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do [[ -s display.txt ]] && break; sleep 0.1; done
export DISPLAY=:$(cat display.txt)

wait_window() {
  timeout 20 xdotool search --sync --onlyvisible --name '^Veltrocane$' | head -1
}
# stop <pid> <label>: the exit status once it ended (killed after 20 s).
stop() {
  local waited=0
  while kill -0 "$1" 2>/dev/null && ((waited < 200)); do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$1" 2>/dev/null; then
    kill -KILL "$1"
    fail "$2: did not end within 20 s"
  fi
  wait "$1"
}

# 10. The default sound driver's search says it in one line (or nothing).
env -u SDL_AUDIODRIVER "$play" >alsa.out 2>alsa.err &
pid=$!
[[ -n $(wait_window) ]] || fail "alsa: no window"
kill -TERM $pid
stop $pid alsa
(($(wc -l <alsa.err) <= 1)) || fail "the sound device's search: $(head -c 500 alsa.err)"

# 11. A window grown to 32767 pixels: the game goes on and writes its state.
"$play" --state huge.json >huge.out 2>huge.err &
pid=$!
window=$(wait_window)
xdotool windowsize "$window" 32767 32767
sleep 2
kill -0 $pid 2>/dev/null || fail "huge window: the game ended: $(head -c 300 huge.err)"
kill -TERM $pid
stop $pid huge
[[ $? == 0 && -s huge.json ]] || fail "huge window: no state; $(head -c 300 huge.err)"

# 12. A FIFO with no reader: the second SIGTERM gives up on it.
mkfifo sf
"$play" --state sf >fifo.out 2>fifo.err &
pid=$!
wait_window >/dev/null
kill -TERM $pid
sleep 1
kill -TERM $pid
stop $pid fifo
[[ $? == 2 ]] && grep -q 'sf: no reader came' fifo.err || fail "FIFO: $(head -c 300 fifo.err)"

# 13. SIGHUP ends the game like SIGTERM: state and picture written.
"$play" --state hup.json --ppm hup.ppm >hup.out 2>hup.err &
pid=$!
wait_window >/dev/null
kill -HUP $pid
stop $pid hup
[[ $? == 0 && -s hup.json && $(stat -c %s hup.ppm) == 172815 ]] || fail "SIGHUP: $(cat hup.err)"

# 14. A recording that stops working is told at once; the real cause at the end.
expect_refusal record_full '/dev/full: No space left on device' "$play" --record /dev/full
bash -c 'trap "" XFSZ; exec prlimit --fsize=4000 "$0" --record big.rec' "$play" \
  >big.out 2>big.err &
pid=$!
wait_window >/dev/null
for _ in $(seq 100); do grep -q 'recording stopped' big.err && break; sleep 0.1; done
grep -q 'the recording stopped: big.rec: File too large' big.err ||
  fail "a recording that stopped was not told: $(head -c 300 big.err)"
kill -TERM $pid
stop $pid big
[[ $? == 2 ]] && grep -q 'cannot write the recording: big.rec: File too large' big.err ||
  fail "recording end: $(head -c 500 big.err)"

# 15. The X server goes away: the outputs are written, one line says why.
"$play" --state lost.json --ppm lost.ppm >lost.out 2>lost.err &
pid=$!
wait_window >/dev/null
kill -TERM $server
wait $server
stop $pid lost
[[ -s lost.json && $(stat -c %s lost.ppm) == 172815 ]] || fail "X server gone: no outputs"
[[ $(cat lost.err) == "veltrocane-play: the connection to the display was lost; the game ends here" ]] ||
  fail "X server gone: $(head -c 500 lost.err)"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "hostile_runs: all checks passed"
