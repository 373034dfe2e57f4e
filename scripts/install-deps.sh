#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need; skips apt when all are
# already there. Arguments name further packages (the WebAssembly build adds emscripten).
set -euo pipefail
packages=(build-essential cmake ninja-build clang lld libclang-rt-14-dev
          libgtest-dev libgmock-dev libbenchmark-dev libboost-dev libboost-math-dev libfmt-dev libfast-float-dev
          qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev qt6-base-dev-tools
          libqt6svg6 qt6-svg-dev fonts-dejavu-core python3 clang-format dpkg-dev file
          "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
