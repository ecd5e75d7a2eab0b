#!/usr/bin/env bash
# Installs the Debian packages Gavo builds and tests with, when any is missing.
# Runs as root or through sudo; apt-get update only runs when something must be installed.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  # 3D engine and its OpenGL/X11 link libraries
  libirrlicht-dev libgl-dev libx11-dev libxxf86vm-dev
  # scripts, settings, containers, music, audio and message boxes
  liblua5.2-dev libiniparser-dev libzip-dev zlib1g-dev libmpg123-dev libsdl2-dev
  # HLSL compiler chain
  glslang-dev spirv-cross libspirv-cross-c-shared-dev spirv-tools
  # tests and benchmarks
  libgtest-dev libbenchmark-dev xvfb xauth libgl1-mesa-dri
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "gavo set-up: installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "gavo set-up: cannot install ${missing[*]}: run as root, install sudo, or install them by hand." >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! "${as_root[@]}" apt-get update -q || \
   ! "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; then
  echo "gavo set-up: apt-get could not install ${missing[*]}; install them by hand and retry." >&2
  exit 1
fi
