#!/usr/bin/env bash
# options_run.sh: the player's options as a player changes them, under a
# virtual X display: a damaged options.txt is said once and kept beside;
# the title's OPTIONS menu turns the music down and rebinds two controls
# (the second onto a key already in play); options.txt holds the changes,
# the next start plays with them (its recording's header says so), and the
# first session's recording replays to the same state.
#
# Usage: bash options_run.sh <veltrocane> <veltrocane-sim> <repo-root>
set -uo pipefail

if [[ ${1:-} != --inner ]]; then
  exec timeout 120 xvfb-run -a bash "${BASH_SOURCE[0]}" --inner "$@"
fi
shift
export SDL_AUDIODRIVER=dummy
source "$(dirname "${BASH_SOURCE[0]}")/lib/city_run.sh"
cd "$work" || exit 1
folder=$HOME/.config/veltrocane
mkdir -p "$folder"
printf '[General]\nfullscreen=true\n' >"$folder/options.txt"

# run_until_quit <name> <keys...>: a session driven by the keys (each
# followed by a short pause), which must end by itself with status 0.
run_until_quit() {
  local name=$1
  shift
  "$play" --record "$name.txt" --state "$name.json" >"$name.out" 2>"$name.err" &
  local pid=$!
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Veltrocane$' | head -1)
  [[ -n $window ]] || fail "$name: no window appeared"
  xdotool windowfocus --sync "$window"
  sleep 2
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.2
  done
  local waited=0
  while kill -0 $pid 2>/dev/null && ((waited < 100)); do
    sleep 0.1
    waited=$((waited + 1))
  done
  kill -0 $pid 2>/dev/null && { kill -KILL $pid; fail "$name: did not quit"; }
  wait $pid || fail "$name: status $?; $(head -c 1000 "$name.err")"
}

# The title: down twice to OPTIONS. The menu: down to MUSIC, one notch
# down; down to JUMP, F; down to GRAPPLE, W (FORWARD's key); Escape closes
# the menu and Escape on the title quits.
keys=(s s Return s s s s s Left)
for _ in $(seq 11); do keys+=(s); done
keys+=(Return f s Return w Escape Escape)
run_until_quit first "${keys[@]}"

[[ $(wc -l <first.err) == 1 ]] && grep -q "$folder/options.txt: .*$folder/options.txt.damaged" first.err ||
  fail "the damaged file was not said in one line: $(cat first.err)"
[[ $(cat "$folder/options.txt.damaged") == $'[General]\nfullscreen=true' ]] ||
  fail "the damaged file was not kept beside"
grep -qx 'music_volume 0.899999976' "$folder/options.txt" &&
  grep -qx 'controls 26|22|4|7|20|8|9|26|26|22|4|7|40|41' "$folder/options.txt" ||
  fail "options.txt does not hold the changes: $(cat "$folder/options.txt")"
[[ -s $HOME/.local/share/veltrocane/progress.txt ]] || fail "no progress.txt written"

# The next start plays with them, and says nothing about a good file.
run_until_quit second Escape
grep -qx 'music_volume 0x1.ccccccp-1' second.txt &&
  grep -qx 'controls 26|22|4|7|20|8|9|26|26|22|4|7|40|41' second.txt ||
  fail "the next start does not play with the saved options: $(head -3 second.txt)"
[[ ! -s second.err ]] || fail "the next start said: $(cat second.err)"

# The menu's changes are in the recording: the replay follows them.
timeout 60 "$sim" --replay first.txt --state replay.json >replay.out 2>replay.err ||
  fail "replay: $(head -c 1000 replay.err)"
cmp -s first.json replay.json || fail "replay state differs: $(diff first.json replay.json | head)"

if ((failures > 0)); then
  echo "options_run: $failures failure(s)" >&2
  exit 1
fi
echo "options_run: all checks passed"
