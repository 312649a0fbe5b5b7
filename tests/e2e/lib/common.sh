# common.sh: what every end-to-end script shares: a scratch working folder
# removed on exit, and failure counting (the script exits with a non-zero
# status when any check failed).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
