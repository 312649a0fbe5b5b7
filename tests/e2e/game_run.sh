#!/usr/bin/env bash
# game_run.sh: the real game from start to finish under a virtual X display:
# the timed screenshot and its one line on standard output, settings.txt
# that cannot spoil a run, closing the window, and start-up errors.
#
# Usage: bash game_run.sh <veltrocane> <veltrocane-sim or empty> <repo-root>
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib/city_run.sh"
printf 'P6\n320 180\n255\n' >"$work/expected_header"

# run_game <label> <command...>: runs in $work with stdout, stderr, the exit
# status and the wall time (ms) captured into $work/<label>.{out,err,rc,ms}.
run_game() {
  local label=$1
  shift
  local started ended
  started=$(date +%s%N)
  (cd "$work" && "$@" >"$work/$label.out" 2>"$work/$label.err")
  echo $? >"$work/$label.rc"
  ended=$(date +%s%N)
  echo $(((ended - started) / 1000000)) >"$work/$label.ms"
}

expect_status() {
  local label=$1 want=$2
  local got
  got=$(cat "$work/$label.rc")
  if [[ $got != "$want" ]]; then
    fail "$label: exit status $got, expected $want; stderr: $(head -c 2000 "$work/$label.err")"
  fi
}

# The one line the game ever prints, and nothing on standard error.
expect_screenshot_run() {
  local label=$1
  expect_status "$label" 0
  if ! printf 'Screenshot created. Look at the project root\n' | cmp -s - "$work/$label.out"; then
    fail "$label: standard output was: $(head -c 500 "$work/$label.out" | od -c | head -5)"
  fi
  if [[ -s $work/$label.err ]]; then
    fail "$label: standard error not empty: $(head -c 2000 "$work/$label.err")"
  fi
  local ms
  ms=$(cat "$work/$label.ms")
  # The screenshot is due 12.6 s after the scene was built; allow a slow,
  # shared machine plenty of room above that.
  if ((ms < 12600 || ms > 120000)); then
    fail "$label: ran for $ms ms, expected a little over 12600"
  fi
  local shot=$work/screenshot.ppm
  if [[ ! -f $shot ]]; then
    fail "$label: no screenshot.ppm"
    return
  fi
  local size
  size=$(stat -c %s "$shot")
  [[ $size == 172815 ]] || fail "$label: screenshot.ppm has $size bytes, expected 172815"
  cmp -s -n 15 "$work/expected_header" "$shot" || fail "$label: screenshot.ppm header is wrong"
}

# 1. A plain run: no settings.txt, the defaults apply.
run_game first xvfb-run -a "$game"
expect_screenshot_run first
first_mtime=$(stat -c %.9Y "$work/screenshot.ppm" 2>/dev/null || echo 0)

# 2. A second run replaces the file, even a longer one left from elsewhere,
#    and a settings.txt with a rejected line changes nothing but the
#    settings (they fall back to the defaults).
head -c 200000 /dev/zero | tr '\0' 'x' >"$work/screenshot.ppm"
touch -d '2000-01-01' "$work/screenshot.ppm"
printf 'vsync=0\nshow_fps=1\nvsync = 1\n' >"$work/settings.txt"
run_game second xvfb-run -a "$game"
expect_screenshot_run second
second_mtime=$(stat -c %.9Y "$work/screenshot.ppm" 2>/dev/null || echo 0)
if [[ $second_mtime == "$first_mtime" ]]; then
  fail "second run: screenshot.ppm was not rewritten"
fi
rm -f "$work/settings.txt"

# 3. Closing the window (SDL2 turns SIGTERM into the same quit event) ends
#    the run with status 0, no screenshot and no output.
rm -f "$work/screenshot.ppm"
# shellcheck disable=SC2016
run_game closed xvfb-run -a bash -c '
  "$0" & pid=$!
  sleep 4
  kill -TERM "$pid"
  wait "$pid"' "$game"
expect_status closed 0
[[ -s $work/closed.out ]] && fail "closed: printed on standard output: $(head -c 500 "$work/closed.out")"
[[ -s $work/closed.err ]] && fail "closed: printed on standard error: $(head -c 2000 "$work/closed.err")"
[[ -e $work/screenshot.ppm ]] && fail "closed: a screenshot was written"

# 4. Start-up errors come back as one quoted line and status 1: an unknown
#    video driver fails SDL's video start, the dummy driver cannot make an
#    OpenGL window.
run_game no_driver env SDL_VIDEODRIVER=nonexistent "$game"
expect_status no_driver 1
if [[ $(cat "$work/no_driver.err") != 'Error: "nonexistent not available"' ]]; then
  fail "no_driver: standard error was: $(head -c 2000 "$work/no_driver.err")"
fi
run_game dummy_driver env SDL_VIDEODRIVER=dummy "$game"
expect_status dummy_driver 1
if ! grep -q '^Error: "SDL error: .*"$' "$work/dummy_driver.err" ||
  [[ $(wc -l <"$work/dummy_driver.err") != 1 ]]; then
  fail "dummy_driver: standard error was: $(head -c 2000 "$work/dummy_driver.err")"
fi
for label in no_driver dummy_driver; do
  [[ -s $work/$label.out ]] && fail "$label: printed on standard output"
done

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "game_run: all checks passed"
