#!/usr/bin/env bash
# check-layers.sh: every source folder includes only its own layer and the
# layers below it: base -> gfx -> scene_api -> scene1 -> title and audio ->
# play -> the headless runner (tools/sim). The sound hears only what
# scene_api carries (events, soundscape), never the city's record. The
# shell in main sees no scene but in main.cpp, the game's composition root;
# the play program builds on the shell too. The libraries' link order
# already stops calls going upward; this stops headers doing so. Every
# folder of src must have a row here: a new folder without one fails.
#
# Usage: check-layers.sh <repo-root>. Prints each offending include and
# exits 1 when there is one.
set -uo pipefail
root=$1
cd "$root" || exit 2

declare -A allowed=(
  [src/base]="base"
  [src/gfx]="base gfx"
  [src/scene_api]="base gfx scene_api"
  [src/scene1]="base gfx scene_api scene1"
  [src/main]="base gfx scene_api main"
  [src/audio]="base gfx scene_api audio"
  [src/title]="base gfx scene_api scene1 title"
  [src/play]="base gfx scene_api scene1 audio title main play"
  [tools/sim]="base gfx scene_api scene1 audio title play sim"
  [tools/icons]="base gfx icons"
)

status=0
for folder in src/*/; do
  folder=${folder%/}
  if [[ -z ${allowed[$folder]+set} ]]; then
    echo "layering: $folder has no layer in tools/check-layers.sh"
    status=1
  fi
done
for folder in "${!allowed[@]}"; do
  pattern=$(echo "${allowed[$folder]}" | sed 's/ /|/g')
  while IFS= read -r line; do
    file=${line%%:*}
    [ "$file" = "src/main/main.cpp" ] && continue
    echo "layering: $line"
    status=1
  done < <(grep -HnE '^#include "' "$folder"/*.h "$folder"/*.cpp 2>/dev/null |
           grep -vE "#include \"($pattern)/")
done
exit $status
