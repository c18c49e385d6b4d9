#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Modra need.
# A warm machine has them all and never touches apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libcli11-dev nlohmann-json3-dev
  libjpeg62-turbo-dev libgif-dev libpng-dev
  # Model exchange: glTF through tinygltf, the other formats through assimp.
  libtinygltf-dev libstb-dev libassimp-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libgtest-dev libgmock-dev
  qt6-base-dev libqt6opengl6-dev qt6-qpa-plugins fonts-dejavu-core
  xvfb xauth
  # The tests that read and write numbers under a German locale.
  locales
)
# The test run checks glTF exports with the Khronos validator, a node package.
command -v node >/dev/null 2>&1 || packages+=(nodejs npm)
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
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale that writes "0,5", for the tests that check numbers do not
# follow it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the de_DE.UTF-8 locale" >&2
  # Listed in locale.gen, so that a later locale-gen keeps it.
  if grep -qE '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    "${sudo[@]}" sed -i -E 's/^# *(de_DE\.UTF-8 UTF-8)/\1/' /etc/locale.gen
  elif ! grep -qE '^de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo[@]}" locale-gen
fi
