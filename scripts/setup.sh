#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need. Idempotent:
# packages already present are left alone and apt is not touched at all when nothing is missing.
set -euo pipefail

PKGS=(
  build-essential cmake ninja-build pkg-config git
  firebird-dev firebird3.0-server-core firebird3.0-utils firebird3.0-server libfbclient2
  qt6-base-dev libzip-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core
  poppler-utils xvfb xauth
)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Instalando paquetes: ${missing[*]}"
  $SUDO apt-get update -qq
  # The server package must not start a system service; the tests run their own server.
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
