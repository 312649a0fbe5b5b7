#!/usr/bin/env bash
# sim_run.sh: the headless runner: the state right after init, the default
# course ending like the game with a repeatable picture, frames past the
# end, scripted input, the benchmark, and bad options and files.
#
# Usage: bash sim_run.sh <veltrocane> <veltrocane-sim> <repo-root>
set -uo pipefail

if [[ -z ${2:-} ]]; then
  echo "sim_run: no veltrocane-sim binary given" >&2
  exit 1
fi
sim=$(realpath "$2")
root=$(realpath "$3")

source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

# A fresh working directory with the assets, as the game would have it.
new_dir() {
  local dir=$work/$1
  mkdir -p "$dir"
  ln -s "$root/assets" "$dir/assets"
  echo "$dir"
}

# run_sim <dir> <label> <args...>: stdout, stderr and status into
# <dir>/<label>.{out,err,rc}.
run_sim() {
  local dir=$1 label=$2
  shift 2
  (cd "$dir" && "$sim" "$@" >"$dir/$label.out" 2>"$dir/$label.err")
  echo $? >"$dir/$label.rc"
}

expect_status() {
  local dir=$1 label=$2 want=$3
  local got
  got=$(cat "$dir/$label.rc")
  [[ $got == "$want" ]] ||
    fail "$label: exit status $got, expected $want; stderr: $(head -c 1000 "$dir/$label.err")"
}

# check_json <file> <label> <expression>...: each a Python expression over
# the state s that is true when the state is right. One interpreter per file.
check_json() {
  local file=$1 label=$2
  shift 2
  local failed
  failed=$(python3 - "$file" "$@" <<'PY'
import json, struct, sys
s = json.load(open(sys.argv[1]))
f32 = lambda x: struct.unpack('f', struct.pack('f', x))[0]
near = lambda a, b, eps=1e-3: all(abs(x - y) <= eps for x, y in zip(a, b))
def floats(v):
    if isinstance(v, dict):
        return [y for k in v.values() for y in floats(k)]
    if isinstance(v, list):
        return [y for k in v for y in floats(k)]
    return [v] if isinstance(v, float) else []
for expression in sys.argv[2:]:
    try:
        ok = eval(expression)
    except Exception as error:
        ok = False
        expression += '  (' + repr(error) + ')'
    if not ok:
        print(expression)
PY
  )
  if [[ $? != 0 || -n $failed ]]; then
    while IFS= read -r line; do fail "$label: state check failed: $line"; done <<<"${failed:-unreadable state $file}"
  fi
}

# 1. Frame 0: the state right after init.
d=$(new_dir init)
run_sim "$d" init --frames 0 --state s.json
expect_status "$d" init 0
[[ -s $d/init.out ]] && fail "init: printed on standard output: $(head -c 300 "$d/init.out")"
[[ -e $d/screenshot.ppm ]] && fail "init: --frames 0 wrote a screenshot"
s=$d/s.json
# Every number reads back as the same 32-bit float (the last check).
check_json "$s" init \
  "s['frame'] == 0 and s['time'] == 0 and s['elapsed'] == 0" \
  "s['rng_state'] == -1154326993 and s['style'] == 2 and s['level'] == 1" \
  "s['view_distance'] == 90 and s['yaw'] == f32(2.4347337) and s['pitch'] == f32(-0.4)" \
  "s['paused'] and not s['control_enabled'] and not s['panel_open'] and not s['device_menu_open']" \
  "s['menu_selection'] == 0 and not s['on_ground'] and not s['airborne']" \
  "s['energy'] == 1 and s['chip_count'] == 0 and s['upgrade_points'] == 0" \
  "s['drive_level'] == s['jump_level'] == s['pull_level'] == 0" \
  "not s['grapple_attached'] and s['anchor_car'] == -1 and s['grapple_cooldown'] == f32(0.1)" \
  "near(s['station_position'], [30.7148, 45, 63.3129])" \
  "s['lightning_wait'] == 1 and s['lightning_flash'] == f32(0.1) and s['storm_timer'] == 1" \
  "s['fog_enabled'] and s['fps_text'] == 'LOL'" \
  "s['settings']['controls'] == [26,22,4,7,20,8,44,513,26,22,4,7,40,41] and s['settings']['interlaced']" \
  "near(s['player']['position'], [-0.7229, 0, -10.5513]) and s['player']['velocity'] == [1.25, 25, 4.5]" \
  "len(s['statics']) == 31 and s['statics'][-1]['name'] == 'anenna'" \
  "sum(o['name'].startswith('terrace') for o in s['statics']) == 10" \
  "len(s['chips']) == len(s['chip_indicators']) == 4 and len(s['batteries']) == len(s['battery_indicators']) == 5" \
  "len(s['cars']) == 18 and len(s['drones']) == 50 and s['fans'] == [] and s['markers'] == []" \
  "near(s['cars'][0]['position'], [138.5, 30, 165.4409]) and near(s['cars'][1]['position'], [97.8353, 29.1667, 12.5])" \
  "near(s['drones'][0]['position'], [18.0536, 30, 138.5]) and s['drones'][0]['name'] == 'drone 0'" \
  "s['cars'][0]['solid'] and s['cars'][0]['visible'] and s['cars'][0]['bound_radius'] > 0" \
  "len(s['rain']) == 100 and all(d[1] == 1 and 0 <= d[0] <= 1 and 0 <= d[2] <= 1 for d in s['rain'])" \
  "s['messages'] == [] and s['drone_bursts'] == []" \
  "len(s['textures']) == 49 and s['textures'][16] == 'assets/building_3_32.tga' and s['textures'][0] == 'assets/crosshair2_tl.tga'" \
  "len(s['meshes']) == 23 and s['meshes'][3] == 'assets/car1/car1.obj' and s['meshes'][0] == 'assets/quad.obj'" \
  "all(f32(x) == x for x in floats(s))"

# 2. The default course, twice: it ends like the game and the two pictures
#    are the same to the byte.
for run in one two; do
  d=$(new_dir "$run")
  run_sim "$d" course
  expect_status "$d" course 0
  if ! printf 'Screenshot created. Look at the project root\n' | cmp -s - "$d/course.out"; then
    fail "$run: standard output was: $(head -c 300 "$d/course.out")"
  fi
  [[ -s $d/course.err ]] && fail "$run: standard error: $(head -c 1000 "$d/course.err")"
  size=$(stat -c %s "$d/screenshot.ppm" 2>/dev/null || echo missing)
  [[ $size == 172815 ]] || fail "$run: screenshot.ppm size $size, expected 172815"
done
cmp -s "$work/one/screenshot.ppm" "$work/two/screenshot.ppm" ||
  fail "two runs of the default course gave different screenshots"

# 3. --frames 757 reaches the same picture without ending; --state and --ppm
#    describe the last frame; frames past the end go on.
d=$(new_dir frames)
run_sim "$d" frames --frames 757 --ppm last.ppm --state last.json
expect_status "$d" frames 0
[[ -s $d/frames.out ]] && fail "frames: printed on standard output"
[[ -e $d/screenshot.ppm ]] && fail "frames: the scene's ending wrote screenshot.ppm"
cmp -s "$d/last.ppm" "$work/one/screenshot.ppm" ||
  fail "frames: --ppm after frame 757 differs from the default course's screenshot"
check_json "$d/last.json" frames \
  "s['frame'] == 757 and s['elapsed'] > 12.6 and s['control_enabled'] and not s['paused']" \
  "s['on_ground'] and near(s['player']['position'][1:2], [16.0])"
run_sim "$d" past --frames 900 --state past.json
expect_status "$d" past 0
check_json "$d/past.json" past "s['frame'] == 900 and abs(s['elapsed'] - 15.0) < 1e-3"

# 4. Settings are read like the game reads them.
d=$(new_dir settings)
printf 'show_fps=3\ninterlaced=0\n' >"$d/settings.txt"
run_sim "$d" settings --frames 1 --state s.json
expect_status "$d" settings 0
check_json "$d/s.json" settings "s['settings']['show_fps'] == 3 and not s['settings']['interlaced'] and s['settings']['load_status'] == 0"
printf 'show_fps=3\nvsync = 1\n' >"$d/settings.txt"
run_sim "$d" rejected --frames 1 --state s.json
check_json "$d/s.json" rejected "s['settings']['show_fps'] == 0 and s['settings']['load_status'] == 1"

# 5. Scripted input reaches the scene: looking right once control starts
#    (frame 301, after the opening's 5 s) turns the view.
d=$(new_dir input)
printf '# wait for the opening, then look right for a second\n300 0\n60 0 100 0\n' >"$d/look.txt"
run_sim "$d" input --frames 400 --input look.txt --state s.json
expect_status "$d" input 0
check_json "$d/s.json" input "abs(s['yaw'] - (2.4347337 + 50)) < 1e-3"

# 6. The benchmark prints its two figures and writes no screenshot.
d=$(new_dir bench)
run_sim "$d" bench --bench --frames 120
expect_status "$d" bench 0
grep -q '^median: [0-9.]* ms per frame$' "$d/bench.out" || fail "bench: no median line: $(cat "$d/bench.out")"
grep -q '^mean: [0-9.]* ms per frame$' "$d/bench.out" || fail "bench: no mean line"
[[ -e $d/screenshot.ppm ]] && fail "bench: wrote a screenshot"

# 7. Bad options and unreadable files: a message and status 2.
d=$(new_dir bad)
printf '10 zz\n' >"$d/broken.txt"
bad_runs=(
  "dt_zero|--dt 0"
  "dt_text|--dt fast"
  "dt_nan|--dt nan"
  "frames_negative|--frames -1"
  "unknown|--colour red"
  "input_missing|--input nowhere.txt"
  "input_broken|--input broken.txt"
  "state_dir|--frames 0 --state no/such/dir/s.json"
  "ppm_dir|--frames 0 --ppm no/such/dir/p.ppm"
)
for entry in "${bad_runs[@]}"; do
  label=${entry%%|*}
  # shellcheck disable=SC2086
  run_sim "$d" "$label" ${entry#*|}
  expect_status "$d" "$label" 2
  [[ -s $d/$label.err ]] || fail "$label: no message on standard error"
  [[ -s $d/$label.out ]] && fail "$label: printed on standard output"
done
grep -q 'broken.txt' "$d/input_broken.err" || fail "input_broken: message does not name the file"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "sim_run: all checks passed"
