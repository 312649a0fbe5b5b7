#!/usr/bin/env bash
# play_rules.sh: the played game's rules through the headless runner's
# scripted input (veltrocane-sim --play-rules): a chip buys an upgrade,
# closing the panel with its key keeps what was bought, energy stops at 0
# with LOW ENERGY where the fixed run's rules let it go below, and the last
# chip completes the level.
#
# Usage: bash play_rules.sh <veltrocane> <veltrocane-sim> <repo-root>
set -uo pipefail

if [[ -z ${2:-} ]]; then
  echo "play_rules: no veltrocane-sim binary given" >&2
  exit 1
fi
source "$(dirname "${BASH_SOURCE[0]}")/lib/city_run.sh"
scripts=$root/tests/e2e/scripts

# state_after <label> <script> <frames> [rules option]: a script of
# tests/e2e/scripts run for that many frames, with the play rules unless
# the fourth argument says otherwise (an empty one runs the fixed rules).
state_after() {
  local rules=${4---play-rules}
  sim_state "$1" "$scripts/$2" "$3" $rules
}

# One chip, two points, both bought for MOVEMENT and committed.
state_after chip chip.txt 820
check chip "len(s['chips']) == s['play_rules']['chips_placed'] - 1 and s['upgrade_points'] == 2"
state_after upgrade chip_upgrade.txt 917
check upgrade "s['drive_level'] == 2 and s['upgrade_points'] == 0 and not s['panel_open']"
# The same drafts, then the panel key instead of RESUME: the purchase is
# kept, never lost without a sign.
state_after close chip_close.txt 884
check close "s['drive_level'] == 2 and s['upgrade_points'] == 0 and not s['panel_open']"

# Jumps until the gauge is empty: refused with LOW ENERGY, never below 0;
# without the rules the same jumps take it to -0.4.
state_after low energy_floor.txt 1652
check low "'LOW ENERGY' in texts and 0 <= s['energy'] < 0.1"
state_after drained energy_floor.txt 1900
check drained "s['energy'] >= 0"
state_after fixed energy_floor.txt 1900 ""
check fixed "s['energy'] < -0.3 and 'play_rules' not in s"

# Every chip of the level-1 city by rope, reel and leap, the last taken at
# frame 2385: that frame says LEVEL COMPLETE!, the one before does not;
# 2.5 s (150 frames) later the level-2 city stands, its 6 chips new and the
# 8 points of the 4 chips kept.
state_after one_left level.txt 2384
check one_left "s['level'] == 1 and len(s['chips']) == 1 and not any(t.startswith('LEVEL COMPLETE!') for t in texts)"
state_after complete level.txt 2385
check complete "s['level'] == 1 and s['chips'] == [] and 'LEVEL COMPLETE! 0:39' in texts and s['upgrade_points'] == 8"
state_after waiting level.txt 2534
check waiting "s['level'] == 1 and s['play_rules']['level_complete'] >= 0"
state_after level2 level.txt 2535
check level2 "s['level'] == 2 and 'LEVEL 2' in texts and len(s['chips']) == s['play_rules']['chips_placed'] == 6 and s['upgrade_points'] == 8"

# The same route asked to keep the player's progress, over a file of a
# slower earlier run: the level, its faster time and the chips are added.
printf 'veltrocane-progress 1\nbest_level 0\nchips_taken 5\nplay_seconds 10\nbest_time_1 50\n' \
  >"$work/progress.txt"
sim_state kept "$scripts/level.txt" 2385 --play-rules --progress "$work/progress.txt"
python3 - "$work/progress.txt" <<'PY' || fail "kept: progress.txt: $(cat "$work/progress.txt")"
import sys
p = dict(line.split(' ') for line in open(sys.argv[1]).read().splitlines()[1:])
sys.exit(0 if p['best_level'] == '1' and p['chips_taken'] == '9' and 39 <= float(p['best_time_1']) < 40
         and abs(float(p['play_seconds']) - 49.75) < 0.01 else 1)
PY

if ((failures > 0)); then
  echo "play_rules: $failures failure(s)" >&2
  exit 1
fi
echo "play_rules: all checks passed"
