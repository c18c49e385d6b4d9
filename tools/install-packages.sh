#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Modra need.
# A warm machine has them all and never touches apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libcli11-dev nlohmann-json3-dev
  libjpeg62-turbo-dev libgif-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libgtest-dev libgmock-dev
  qt6-base-dev libqt6opengl6-dev qt6-qpa-plugins fonts-dejavu-core
  xvfb xauth
  # ffprobe and ffmpeg: to look at the movies a render writes as players do.
  ffmpeg
)
for option in "$@"; do
  case "$option" in
    --bench) packages+=(libbenchmark-dev) ;;
    --fuzz) packages+=(clang) ;;
    # The farm test runs a one-machine Slurm cluster.
    --slurm) packages+=(slurm-wlm munge) ;;
    *) echo "usage: $0 [--bench] [--fuzz] [--slurm]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
