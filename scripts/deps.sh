#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, and only the missing
# ones, so a machine that already has them pays nothing. Used by every make target and by CI.
set -euo pipefail
packages=(cmake g++ make pkg-config libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
          lua5.4 qt6-base-dev libpcre2-dev
          libcairo2-dev libjpeg-dev fonts-dejavu-core fonts-liberation zbar-tools poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
