#!/usr/bin/env bash
# hostile_files.sh: the real game and the headless runner meeting names that
# are not ordinary files: a FIFO or /dev/zero as an asset or settings.txt,
# a closed standard output, links, devices and FIFOs as outputs, and frame
# counts past their range. Every run has a time limit, so a hang fails
# instead of stalling the suite.
#
# Usage: bash hostile_files.sh <veltrocane> <veltrocane-sim> <repo-root>
set -uo pipefail

game=$(realpath "$1")
sim=$(realpath "$2")
root=$(realpath "$3")

source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

# fresh_case <label>: a working directory whose assets/ mirrors the real one
# through links, so a case replaces only its own names.
fresh_case() {
  local dir=$work/$1
  mkdir -p "$dir"
  cp -rs "$root/assets" "$dir/assets"
  echo "$dir"
}

# run_game <label> [shell words]: the game under Xvfb in the case's
# directory, killed if it is still running after two minutes (status 124
# or 137). The words run in a shell where "$0" is the game.
run_game() {
  local label=$1 dir=$work/$1 words=${2:-'"$0"'}
  (cd "$dir" && timeout -k 10 180 xvfb-run -a timeout -k 5 120 \
    bash -c "$words" "$game" >"$dir/out" 2>"$dir/err")
  echo $? >"$dir/rc"
}

expect() {
  local label=$1 want_rc=$2 want_err=$3 dir=$work/$1
  local rc
  rc=$(cat "$dir/rc")
  [[ $rc == "$want_rc" ]] || fail "$label: exit status $rc, expected $want_rc"
  [[ $(cat "$dir/err") == "$want_err" ]] || fail "$label: standard error was: $(head -c 500 "$dir/err")"
}

# 1. Assets that never open (a FIFO) or never end (/dev/zero): the asset
#    message and 101, at once.
dir=$(fresh_case fifo_asset)
rm "$dir/assets/quad.obj" && mkfifo "$dir/assets/quad.obj"
run_game fifo_asset
expect fifo_asset 101 'File read error: assets/quad.obj: Not a regular file'

dir=$(fresh_case zero_asset)
ln -sf /dev/zero "$dir/assets/building_3.tga"
run_game zero_asset
expect zero_asset 101 'File read error: assets/building_3.tga: Not a regular file'

# 2. settings.txt as a FIFO, with standard output closed: the defaults and
#    a full run; descriptor 1 is /dev/null, not the X11 connection.
dir=$(fresh_case fifo_settings)
mkfifo "$dir/settings.txt"
run_game fifo_settings '"$0" >&- & pid=$!; sleep 3; readlink /proc/$pid/fd/1 >fd1; wait $pid'
expect fifo_settings 0 ''
[[ $(cat "$dir/fd1" 2>/dev/null) == /dev/null ]] ||
  fail "fifo_settings: descriptor 1 was $(cat "$dir/fd1" 2>/dev/null), not /dev/null"
[[ $(stat -c %s "$dir/screenshot.ppm" 2>/dev/null) == 172815 ]] || fail "fifo_settings: no screenshot"

# 3. settings.txt as a link to /dev/zero: the defaults and the usual run.
dir=$(fresh_case zero_settings)
ln -s /dev/zero "$dir/settings.txt"
run_game zero_settings
expect zero_settings 0 ''
[[ $(cat "$dir/out") == 'Screenshot created. Look at the project root' ]] ||
  fail "zero_settings: standard output was: $(head -c 500 "$dir/out")"

# 4. The runner's outputs: a link is written through, a FIFO written into,
#    a device never replaced (a private copy of /dev/full, where allowed).
dir=$(fresh_case outputs)
run_sim() { (cd "$dir" && timeout -k 5 60 "$sim" "$@" >"$dir/out" 2>"$dir/err"); }
touch "$dir/target.ppm" && ln -s target.ppm "$dir/link.ppm"
mkfifo "$dir/state.fifo"
timeout 60 cat "$dir/state.fifo" >"$dir/state.json" &
reader=$!
run_sim --frames 0 --ppm link.ppm --state state.fifo || fail "outputs: exit status $?"
wait $reader
[[ -L $dir/link.ppm && $(stat -c %s "$dir/target.ppm") == 172815 ]] ||
  fail "outputs: the link was not written through"
grep -q '"frame": 0' "$dir/state.json" || fail "outputs: the FIFO's reader got no state"
if mknod "$dir/full" c 1 7 2>/dev/null; then
  run_sim --frames 0 --ppm full
  rc=$?
  [[ $rc == 2 && -c $dir/full ]] || fail "outputs: --ppm into a full device: status $rc"
  grep -q 'No space left on device' "$dir/err" || fail "outputs: $(head -c 500 "$dir/err")"
fi

# 5. Frame counts: plain decimal within range, or status 2 with a message.
run_sim --frames 010 --state ten.json || fail "frames 010: exit status $?"
grep -q '"frame": 10,' "$dir/ten.json" || fail "frames 010: not read as ten"
for count in 9223372036854775808 18446744073709551616 99999999999999999999 0x10 +5; do
  run_sim --frames "$count"
  rc=$?
  [[ $rc == 2 && -s $dir/err ]] || fail "frames $count: exit status $rc"
done

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "hostile_files: all checks passed"
