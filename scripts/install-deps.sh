#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the program need; --tests adds what the tests need.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev libqt6svg6
  qt6-qpa-plugins libgl1-mesa-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  libgtest-dev libbenchmark-dev
  hamradio-files fonts-dejavu-core espeak-ng libhamlib-dev libmosquitto-dev
  librsvg2-bin dpkg-dev file  # the icon drawn as a bitmap; the .deb's Depends (cpack)
)
# With --tests: the export tests run independent readers on Node.js; the screen-reader
# tests switch Qt's accessibility on (private headers) and run Orca on a virtual display.
if [ "${1:-}" = "--tests" ]; then
  command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1 || PACKAGES+=(nodejs npm)
  PACKAGES+=(qt6-base-private-dev orca xvfb xdotool x11-utils dbus-daemon at-spi2-core)
  # The voice keyer tests play through a private sound server.
  PACKAGES+=(pulseaudio pulseaudio-utils)
  # The Hamlib radio tests share a radio through rigctld; the shared-log tests run a broker,
  # and a screen-reader scene has another position announce itself with its client.
  PACKAGES+=(libhamlib-utils mosquitto mosquitto-clients openssl)
  # The install test validates the desktop entry and the AppStream metadata.
  PACKAGES+=(desktop-file-utils appstream)
  # The screen-reader scenes with a CW keying line key a pseudo-terminal pair; one runs
  # under a window manager, which decides where the focus goes when a window closes.
  PACKAGES+=(socat openbox)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
