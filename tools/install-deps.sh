#!/usr/bin/env bash
# Installs what building and testing Tessarin needs on Debian 12 (bookworm). The last two
# lines serve the package and its tests: dpkg-shlibdeps for its dependencies, the
# validators of the desktop entry and metadata, the MIME database and xdg-mime's reader
# of it, the manual page renderer, and the shells whose completion is tested.
set -euo pipefail
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build git \
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev zlib1g-dev libboost-math-dev \
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev pkg-config fonts-dejavu-core \
  libavcodec-dev libavformat-dev libswscale-dev libavutil-dev \
  clang clang-format \
  python3 dpkg-dev desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl \
  man-db groff-base bash-completion zsh >/dev/null
