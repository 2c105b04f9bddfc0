#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Sondaryk needs.
set -euo pipefail
packages=(
    build-essential cmake ninja-build clang-format
    qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-charts-dev qt6-translations-l10n libqt6svg6
    libgl-dev fonts-liberation2 locales
    # Spreadsheet files (XLSX), and LibreOffice Calc to read them back in the tests.
    libxlsxwriter-dev zlib1g-dev pkgconf libreoffice-calc-nogui unzip
    # Paste on a real X clipboard, and the text of a written PDF.
    xclip poppler-utils
    xvfb xauth imagemagick xdotool
    # The fuzz targets: clang with its libFuzzer and sanitizer runtimes.
    clang libclang-rt-14-dev
    # The Debian package: cpack finds its library dependencies with dpkg-shlibdeps.
    dpkg-dev file
    # The chart printing test prints to a PDF queue of its own.
    cups printer-driver-cups-pdf
    # The test command proves this list complete in a clean Debian 12 root of its own.
    mmdebstrap
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The tests check that a Polish locale changes no byte of any file.
if ! locale -a 2>/dev/null | grep -qi '^pl_PL.utf8$'; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo sed -i 's/^# *pl_PL.UTF-8/pl_PL.UTF-8/' /etc/locale.gen
    $sudo locale-gen >/dev/null
fi
