#!/usr/bin/env bash
# pickups.sh: the played game draws its pickups. Each picture is compared
# with the fixed rules' picture of the same frame (the same body and view,
# checked), at the places the state file's positions project to: the
# battery 9 units ahead of face_battery.txt, and the beam of a chip
# beyond the 80 units of the storm's view, over the roofs at the start.
#
# Usage: bash pickups.sh <veltrocane> <veltrocane-sim> <repo-root>
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib/city_run.sh"
scripts=$root/tests/e2e/scripts
# Whole pictures every frame, so the two runs' pictures are alike but for
# what the rules draw.
printf 'interlaced=0\n' >"$work/settings.txt"

# both <label> <script> <frames>: the play rules' run in <label>, the fixed
# rules' in <label>_fixed.
both() {
  sim_state "$1" "$scripts/$2" "$3" --play-rules
  sim_state "$1_fixed" "$scripts/$2" "$3"
}

# compare <label> <python over s (the state), differs(x, y) (pixel x, y of
# the picture, y up, differs between the two runs), project(p) (pixel x,
# y and eye depth of a world point, or None), near(list) (its nearest
# object) and dist(p)>: true when the check holds.
compare() {
  if ! python3 - "$work/$1" "$2" <<'PY'; then
import json, math, sys
base = sys.argv[1]
s = json.load(open(base + '.json'))
fixed = json.load(open(base + '_fixed.json'))
assert s['player'] == fixed['player'] and (s['yaw'], s['pitch']) == (fixed['yaw'], fixed['pitch'])

played, plain = (open(base + end, 'rb').read().split(b'\n', 3) for end in ('.ppm', '_fixed.ppm'))
w, h = map(int, played[1].split())
played, plain = played[3], plain[3]

def differs(x, y):
    x, y = int(x), int(y)
    if not (0 <= x < w and 0 <= y < h):
        return False
    i = ((h - 1 - y) * w + x) * 3
    return played[i:i + 3] != plain[i:i + 3]

eye = s['player']['position']
dist = lambda p: math.dist(eye, p)
near = lambda objects: min(objects, key=lambda o: dist(o['position']))

# The game's camera: R = R(x, pitch) R(y, yaw) from its quaternion, the
# eye looking down -z, the projection's x and y scales.
def project(p):
    c1, s1 = math.cos(s['yaw'] / 2), math.sin(s['yaw'] / 2)
    c2, s2 = math.cos(s['pitch'] / 2), math.sin(s['pitch'] / 2)
    qw, qx, qy, qz = c1 * c2, c1 * s2, s1 * c2, s1 * s2
    r = [[1 - 2 * (qy * qy + qz * qz), 2 * (qx * qy - qw * qz), 2 * (qx * qz + qw * qy)],
         [2 * (qx * qy + qw * qz), 1 - 2 * (qx * qx + qz * qz), 2 * (qy * qz - qw * qx)],
         [2 * (qx * qz - qw * qy), 2 * (qy * qz + qw * qx), 1 - 2 * (qx * qx + qy * qy)]]
    d = [p[k] - eye[k] for k in range(3)]
    e = [sum(r[row][k] * d[k] for k in range(3)) for row in range(3)]
    if -e[2] < 0.01:
        return None
    return ((1.4281484 * e[0] / -e[2] + 1) / 2 * w, (2.5389307 * e[1] / -e[2] + 1) / 2 * h, -e[2])

sys.exit(0 if eval(sys.argv[2]) else 1)
PY
    fail "$1: picture check failed: $2"
  fi
}

# The battery ahead: its middle and the beam 3 units above it.
both battery face_battery.txt 360
compare battery "8 < dist(near(s['batteries'])['position']) < 10 and all(
  sum(differs(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)) >= 7
  for p in (near(s['batteries'])['position'],)
  for q in (p, [p[0], p[1] + 3, p[2]])
  for x, y, _ in (project(q),))"

# At the start a chip stands 89 units away: 10 or more points of its beam,
# from its roof to the top, show changed pixels (behind nearer towers the
# rest is hidden).
both start face_battery.txt 320
compare start "any(dist(i['position']) > 80 and sum(
  1 for k in range(40) for p in ([i['position'][0], i['position'][1] + k, i['position'][2]],)
  if project(p) and differs(*project(p)[:2])) >= 10 for i in s['chip_indicators'])"

if ((failures > 0)); then
  echo "pickups: $failures failure(s)" >&2
  exit 1
fi
echo "pickups: all checks passed"
