#!/usr/bin/env bash
# Rebuilds the built-in 3D text fonts in src/geometry/fonts/ from the Debian
# font packages named in src/geometry/fonts/NOTICE. Needs root (or sudo) for
# the packages it installs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/../.."

packages=(libfreetype-dev libpng-dev cmake ninja-build g++
          fonts-liberation2 fonts-comic-neue fonts-roboto-slab fonts-league-spartan fonts-ferrite-core)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  sudo=()
  [[ $(id -u) -ne 0 ]] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S tools/fontgen -B build/fontgen -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/fontgen
build/fontgen/fontgen src/geometry/fonts "$@"
