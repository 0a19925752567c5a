#!/bin/sh
# Installs what building, running and testing Quorvane needs on Debian 12 (run as root).
set -e
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    g++ cmake ninja-build pkg-config git \
    libgtest-dev \
    libhidapi-dev libudev-dev \
    libcli11-dev nlohmann-json3-dev \
    qt6-base-dev xvfb xauth fonts-wqy-microhei \
    clang libfuzzer-14-dev clang-format \
    groff-base
