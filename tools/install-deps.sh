#!/usr/bin/env bash
# install-deps.sh: installs the Debian packages the build, the tests and the
# headless run need. Does nothing when every package is already present.
set -euo pipefail

packages=(cmake g++ make pkg-config libsdl2-dev libpng-dev libgtest-dev libbenchmark-dev
          nlohmann-json3-dev libcli11-dev libsndfile1-dev libebur128-dev libx11-dev xvfb xauth xdotool clang
          libclang-rt-14-dev desktop-file-utils appstream)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
