#!/usr/bin/env bash
# Installs what building and testing Tessarin needs on Debian 12 (bookworm).
set -euo pipefail
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build git \
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev zlib1g-dev libboost-math-dev \
  qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core \
  clang clang-format >/dev/null
