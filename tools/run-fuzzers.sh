#!/usr/bin/env bash
# run-fuzzers.sh: runs each libFuzzer target (TGA, OBJ, settings, recordings,
# the renderer drawing fuzzed meshes, and recordings replayed through the
# played game's frame step) for a bounded time on a scratch copy of its
# seeds, so the committed corpus never grows.
# Any crashing input is kept under tests/fuzz/regressions/<target>/ (replayed
# by the unit tests from then on) and the script exits non-zero.
#
# usage: tools/run-fuzzers.sh <build-dir> <seconds-per-target>
set -euo pipefail

if [ $# -ne 2 ] || ! [[ "$2" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 <build-dir> <seconds-per-target>" >&2
  exit 2
fi
build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
fuzz_dir=$root/tests/fuzz

scratch=$(mktemp -d "${TMPDIR:-/tmp}/veltrocane-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# The file format a target reads: the renderer's target reads OBJ text,
# the replay's target recordings.
format_of() {
  case $1 in
    mesh_draw) echo obj ;;
    replay) echo recording ;;
    *) echo "$1" ;;
  esac
}

# Seeds: the hand-made cases, the real assets of the target's format, and the
# saved crash inputs (so a crash that is back shows at once).
seed() {
  local target=$1 corpus=$2 pattern format
  format=$(format_of "$target")
  cp "$fuzz_dir/corpus/$format/"* "$corpus/" 2>/dev/null || true
  cp "$fuzz_dir/regressions/$target/"* "$corpus/" 2>/dev/null || true
  case $format in
    tga) pattern='*.tga' ;;
    obj) pattern='*.obj' ;;
    *) return 0 ;;
  esac
  [ -d "$root/assets" ] || return 0
  local file name
  while IFS= read -r -d '' file; do
    name=${file#"$root/assets/"}
    cp "$file" "$corpus/asset_${name//\//_}"
  done < <(find "$root/assets" -type f -name "$pattern" -print0)
}

status=0
for target in tga obj settings mesh_draw recording replay; do
  binary=$build/tests/fuzz/${target}_fuzz
  if [ ! -x "$binary" ]; then
    echo "${target}_fuzz: not built ($binary); build the fuzz_targets target first" >&2
    status=1
    continue
  fi
  corpus=$scratch/$target/corpus
  artifacts=$scratch/$target/artifacts
  log=$scratch/$target/log
  mkdir -p "$corpus" "$artifacts"
  seed "$target" "$corpus"

  options=(-max_total_time="$seconds" -rss_limit_mb=512 -malloc_limit_mb=64 -timeout=2
           -print_final_stats=1 -artifact_prefix="$artifacts/")
  dict=$fuzz_dir/$(format_of "$target").dict
  if [ -f "$dict" ]; then options+=(-dict="$dict"); fi

  started=$SECONDS
  set +e
  "$binary" "${options[@]}" "$corpus" >"$log" 2>&1
  rc=$?
  set -e
  elapsed=$((SECONDS - started))

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 || true)
  found=$(find "$artifacts" -type f | wc -l)
  echo "${target}_fuzz: ${elapsed} s, ${runs:-?} runs, ${coverage:-cov: ?}, ${found} crashing input(s), exit ${rc}"

  if [ "$found" -gt 0 ]; then
    mkdir -p "$fuzz_dir/regressions/$target"
    cp "$artifacts/"* "$fuzz_dir/regressions/$target/"
    echo "${target}_fuzz: saved under tests/fuzz/regressions/$target/:" >&2
    ls "$artifacts" >&2
  fi
  if [ "$found" -gt 0 ] || [ "$rc" -ne 0 ]; then
    tail -n 40 "$log" >&2
    status=1
  fi
done
exit $status
