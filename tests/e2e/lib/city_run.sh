# city_run.sh: the start of a script run as <veltrocane> <veltrocane-sim>
# <repo-root> (its own arguments, as it was given them): the programs and
# the repository by their full paths (the play program found beside
# veltrocane), common.sh, and the city's art linked into the working folder.
game=$(realpath "$1")
play=$(dirname "$game")/veltrocane-play
sim=${2:+$(realpath "$2")}  # may be given empty
root=$(realpath "$3")
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ln -s "$root/assets" "$work/assets"
