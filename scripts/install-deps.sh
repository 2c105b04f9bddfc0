#!/usr/bin/env bash
# Installs the Debian packages Sondaryk needs, on Debian 12 or Debian 13.
#
#   scripts/install-deps.sh          what building and running the program needs
#   scripts/install-deps.sh --test   that and what the tests need
set -euo pipefail

test_set=0
case "${1:-}" in
"") ;;
--test) test_set=1 ;;
*)
    echo "usage: $0 [--test]" >&2
    exit 2
    ;;
esac

release=""
if [ -r /etc/os-release ]; then
    # shellcheck disable=SC1091
    release=$(. /etc/os-release && [ "${ID:-}" = debian ] && echo "${VERSION_CODENAME:-}" || true)
fi
case "$release" in
bookworm | trixie) ;;
*)
    echo "install-deps.sh: this system is neither Debian 12 (bookworm) nor Debian 13 (trixie), the two it knows how to set up." >&2
    exit 1
    ;;
esac

# Building and running: the compiler, Qt, the fonts the pages are laid out in, the XLSX writer,
# and Xvfb, since run.sh starts the program under xvfb-run on a machine without a display.
packages=(
    build-essential cmake ninja-build
    qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-charts-dev qt6-translations-l10n libqt6svg6
    libgl-dev fonts-liberation2
    libxlsxwriter-dev zlib1g-dev pkgconf
    xvfb xauth
)
# Debian 13's libxlsxwriter links the system minizip, whose pkg-config file it requires.
[ "$release" = trixie ] && packages+=(libminizip-dev)

if [ "$test_set" = 1 ]; then
    packages+=(
        clang-format
        # LibreOffice Calc reads the XLSX files back.
        libreoffice-calc-nogui unzip
        # Paste on a real X clipboard, the text of a written PDF, screenshots and clicks on Xvfb.
        xclip poppler-utils imagemagick xdotool
        # The fuzz targets: clang with its libFuzzer and sanitizer runtimes.
        clang
        # The Debian package: cpack finds its library dependencies with dpkg-shlibdeps.
        dpkg-dev file
        # The chart printing test prints to a PDF queue of its own.
        cups printer-driver-cups-pdf
        # The tests check that a Polish locale changes no byte of any file.
        locales
        # The test command proves both lists complete in clean Debian roots of their own.
        mmdebstrap
    )
    case "$release" in
    bookworm) packages+=(libclang-rt-14-dev) ;;
    trixie) packages+=(libclang-rt-dev) ;;
    esac
fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ "$test_set" = 1 ] && ! locale -a 2>/dev/null | grep -qi '^pl_PL.utf8$'; then
    $sudo sed -i 's/^# *pl_PL.UTF-8/pl_PL.UTF-8/' /etc/locale.gen
    $sudo locale-gen >/dev/null
fi
