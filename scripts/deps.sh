#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need,
# when any is missing. Safe to run again: it does nothing when all are there.
set -euo pipefail
pkgs=(build-essential cmake pkg-config libgtest-dev libgmock-dev unifont libpng-dev
      libncurses-dev gcc-arm-none-eabi libnewlib-arm-none-eabi libstdc++-arm-none-eabi-newlib
      libshp-dev clang libclang-rt-14-dev)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
