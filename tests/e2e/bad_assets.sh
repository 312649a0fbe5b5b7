#!/usr/bin/env bash
# bad_assets.sh: the real game meeting a broken file in assets/: it stops
# with status 101 and one message naming the file, prints nothing on
# standard output and writes no screenshot.
#
# Usage: bash bad_assets.sh <veltrocane> <veltrocane-sim or empty> <repo-root>
set -uo pipefail

game=$(realpath "$1")
root=$(realpath "$3")

source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

if [[ ! -d $root/assets ]]; then
  echo "FAIL: $root/assets is missing" >&2
  exit 1
fi

# fresh_case <label>: a working directory holding a private copy of assets/,
# so each case breaks only its own files.
fresh_case() {
  local dir=$work/$1
  mkdir -p "$dir"
  cp -r "$root/assets" "$dir/assets"
  echo "$dir"
}

# run_case <label>: runs the game in the case's directory and checks the
# common outcome; the caller then checks the message in $work/<label>/err.
run_case() {
  local label=$1 dir=$work/$1
  (cd "$dir" && timeout 120 xvfb-run -a "$game" >"$dir/out" 2>"$dir/err")
  local rc=$?
  if [[ $rc != 101 ]]; then
    fail "$label: exit status $rc, expected 101; stderr: $(head -c 2000 "$dir/err")"
  fi
  [[ -s $dir/out ]] && fail "$label: printed on standard output: $(head -c 500 "$dir/out")"
  [[ -e $dir/screenshot.ppm ]] && fail "$label: a screenshot was written"
}

# expect_message <label> <extended regex for the whole of standard error>
expect_message() {
  local label=$1 pattern=$2 err=$work/$1/err
  if [[ $(wc -l <"$err") != 1 ]] || ! grep -Eq "^$pattern\$" "$err"; then
    fail "$label: standard error was: $(head -c 2000 "$err")"
  fi
}

# (a) A missing quad.obj stops the program at the first mesh slot: all the
#     textures have loaded, and the next mesh file (broken too) is never read.
dir=$(fresh_case missing_quad)
rm "$dir/assets/quad.obj"
printf 'v 1  2 3\n' >"$dir/assets/building_1_base.obj"
run_case missing_quad
expect_message missing_quad 'File read error: assets/quad\.obj: No such file or directory'

# (b) A run-length encoded TGA: the type byte says 10.
dir=$(fresh_case rle_tga)
printf '\x0a' | dd of="$dir/assets/building_3.tga" bs=1 seek=2 conv=notrunc status=none
run_case rle_tga
expect_message rle_tga 'assets/building_3\.tga: Unknown image type at byte 2, only uncompressed color mapped and uncompressed full color supported for now'

# (b2) A TGA cut short: the header announces far more pixels than there are.
dir=$(fresh_case short_tga)
truncate -s 19 "$dir/assets/terrace.tga"
run_case short_tga
expect_message short_tga 'assets/terrace\.tga: File too short .*'

# (c) An OBJ face referring to a vertex the file does not have; the message
#     names the face's line.
dir=$(fresh_case bad_index)
obj=$dir/assets/antenna.obj
[[ -s $obj && $(tail -c 1 "$obj" | od -An -c | tr -d ' ') != '\n' ]] && printf '\n' >>"$obj"
line=$(($(wc -l <"$obj") + 1))
printf 'f 999999/1/1 1/1/1 1/1/1\n' >>"$obj"
run_case bad_index
expect_message bad_index "assets/antenna\\.obj:$line: face refers to position 999999, but the file has [0-9]+"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "bad_assets: all checks passed"
