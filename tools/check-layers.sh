#!/usr/bin/env bash
# check-layers.sh: every source folder includes only its own layer and the
# layers below it: base -> gfx -> scene_api -> scene1 -> title and audio ->
# play. The shell in main sees no scene but in main.cpp, the game's
# composition root; the play program builds on the shell too. The
# libraries' link order already stops calls going upward; this stops
# headers doing so.
#
# Usage: check-layers.sh <repo-root>. Prints each offending include and
# exits 1 when there is one.
set -uo pipefail
cd "$1/src" || exit 2

declare -A allowed=(
  [base]="base"
  [gfx]="base gfx"
  [scene_api]="base gfx scene_api"
  [scene1]="base gfx scene_api scene1"
  [main]="base gfx scene_api main"
  [audio]="base gfx scene_api scene1 audio"
  [title]="base gfx scene_api scene1 title"
  [play]="base gfx scene_api scene1 audio title main play"
)

status=0
for layer in "${!allowed[@]}"; do
  pattern=$(echo "${allowed[$layer]}" | sed 's/ /|/g')
  while IFS= read -r line; do
    file=${line%%:*}
    [ "$file" = "main/main.cpp" ] && continue
    echo "layering: $line"
    status=1
  done < <(grep -HnE '^#include "' "$layer"/*.h "$layer"/*.cpp 2>/dev/null |
           grep -vE "#include \"($pattern)/")
done
exit $status
