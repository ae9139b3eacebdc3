#!/usr/bin/env bash
# Installs every Debian package the station needs to build, run and test.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6 qt6-qpa-plugins
  qt6-charts-dev libqt6opengl6-dev
  libgl-dev libhidapi-dev libudev-dev libsimpleini-dev libicu-dev
  libsqlite3-dev sqlite3 libssl-dev libcli11-dev nlohmann-json3-dev python3-jsonschema
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format clang-tidy
  fonts-wqy-microhei xvfb xauth locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A German locale lets the tests show that files are written with '.' whatever the desktop uses.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
fi
echo "install-deps: done"
