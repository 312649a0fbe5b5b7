# common.sh: what every end-to-end script shares: a scratch working folder
# removed on exit (the home folder too), failure counting (the script exits with a non-zero
# status when any check failed), and the runner's state after a script.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The played game keeps the player's options and progress under the home
# folder: a scratch one, never the developer's own.
export HOME=$work/home
unset XDG_CONFIG_HOME XDG_DATA_HOME

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# sim_state <label> <script> <frames> [runner option...]: runs the script
# through "$sim" for that many frames in $work and leaves the state in
# $work/<label>.json and the picture in $work/<label>.ppm.
sim_state() {
  local label=$1 script=$2 frames=$3
  shift 3
  (cd "$work" && "$sim" "$@" --input "$script" --frames "$frames" \
    --state "$label.json" --ppm "$label.ppm" >"$label.out" 2>"$label.err")
  local rc=$?
  [[ $rc == 0 ]] || fail "$label: exit status $rc; stderr: $(head -c 1000 "$work/$label.err")"
}

# check <label> <python expression over the state s and its message texts>
check() {
  local label=$1 expression=$2
  if ! python3 - "$work/$label.json" "$expression" <<'PY'; then
import json, sys
s = json.load(open(sys.argv[1]))
texts = [m['text'] for m in s['messages']]
sys.exit(0 if eval(sys.argv[2]) else 1)
PY
    fail "$label: state check failed: $expression"
  fi
}
