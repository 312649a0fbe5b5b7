#!/usr/bin/env bash
# example_scripts.sh: the two input scripts shipped in tools/scripts, run by
# the headless runner over the real city: the tour's walk, jump, grapple
# swing, release and air brake, and the panel opened and walked through.
#
# Usage: bash example_scripts.sh <veltrocane> <veltrocane-sim> <repo-root>
set -uo pipefail

if [[ -z ${2:-} ]]; then
  echo "example_scripts: no veltrocane-sim binary given" >&2
  exit 1
fi
source "$(dirname "${BASH_SOURCE[0]}")/lib/city_run.sh"

# state_after <label> <script> <frames>: a script of tools/scripts run for
# that many frames (lib/common.sh's sim_state).
state_after() {
  sim_state "$1" "$root/tools/scripts/$2" "$3"
}

# The tour: on the roof after the walk, airborne after the jump (0.1 of
# energy), roped to the tower ahead after the shot (0.05 more), carried
# towards it, let go for nothing.
state_after walked tour.txt 370
check walked "s['on_ground'] and s['energy'] == 1"
state_after jumped tour.txt 375
check jumped "not s['on_ground'] and abs(s['energy'] - 0.9) < 1e-6"
state_after roped tour.txt 390
check roped "s['grapple_attached'] and texts[-1] == 'ENGAGED!' and len(s['markers']) == 1"
check roped "abs(s['energy'] - 0.85) < 1e-6 and s['grapple_cooldown'] > 0"
state_after swung tour.txt 477
check swung "s['grapple_attached'] and s['player']['position'][2] > 20"
state_after released tour.txt 480
check released "not s['grapple_attached'] and 'DISENGAGED!' in texts"
check released "abs(s['energy'] - 0.85) < 1e-6"

# The panel: open over the city, on the JUMP row after the last press,
# nothing spent, the world held still.
state_after panel panel.txt 240
check panel "s['panel_open'] and s['paused'] and s['menu_selection'] == 1"
check panel "s['jump_level'] == 0 and s['upgrade_points'] == 0"

if ((failures > 0)); then
  echo "example_scripts: $failures failure(s)" >&2
  exit 1
fi
echo "example_scripts: all checks passed"
