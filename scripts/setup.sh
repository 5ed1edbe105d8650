#!/usr/bin/env bash
# Installs what building, testing and showing Lumivard needs on Debian 12, then configures and builds.
# Quick when everything is already there: packages are only installed when one is missing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(
    qtbase5-dev qttools5-dev qttools5-dev-tools # Qt 5 Widgets, PrintSupport, Test, uic/rcc, lrelease
    libqt5svg5-dev                              # Qt SVG: plots exported as SVG
    cmake ninja-build g++ libbenchmark-dev      # build, benchmarks
    libxrl-dev pkg-config                       # xraylib: structure factors, lattice constants
    fonts-vlgothic                              # Japanese glyphs for the default interface
    xvfb xauth xdotool imagemagick x11-utils    # headless display, driving and screenshots
    desktop-file-utils appstream                # validation of the installed desktop entry
    dpkg-dev lintian                            # the Debian package: dependencies, checks
    pybind11-dev python3-dev python3-numpy      # the Python module for Debian's python3
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "lumivard: installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cd "$here"
if [ ! -f "$here/build/build.ninja" ]; then
    cmake --preset default >/dev/null
fi
cmake --build --preset default -j"$(nproc)"
