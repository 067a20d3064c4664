#!/usr/bin/env bash
# Installs everything the whole test suite needs on Debian (the Windows parts included), then
# builds linkweld and runs every test. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(g++ cmake ninja-build libgtest-dev clang libclang-rt-dev lld dpkg-dev groff-base strace lintian
    khronos-api g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb xauth
    libgl1-mesa-dri libgl1 libglx-mesa0 libglfw3-dev libxrandr-dev libglu1-mesa-dev)
sudo=()
[ "$(id -u)" = 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${packages[@]}"
cmake -S . -B build
cmake --build build -j2
ctest --test-dir build --output-on-failure "$@"
