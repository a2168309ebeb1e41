# shellcheck shell=sh
# Sourced by the scripts that build Brelvoxa (plain sh, for fuzz/run.sh): installs the
# Debian packages a script names that are not installed yet, and names once what
# building and running the programs needs, which every build starts from.

# The compiler and build tools, Qt's Widgets, CLI11 (header only), minizip, zlib,
# ISA-L and expat (brelvoxa's workbooks), Qt's own Catalan texts, and the fonts that
# stand in for the designed ones.
# shellcheck disable=SC2034 # used by the scripts that source this file
build_packages="cmake g++ ninja-build pkg-config libcli11-dev libminizip-dev zlib1g-dev
    libisal-dev libexpat1-dev qt6-base-dev libgl-dev libxcb1-dev qt6-translations-l10n fonts-liberation2
    fonts-comic-neue"

# What brelvoxa's command-line part needs beyond a compiler, for the builds without Qt.
# shellcheck disable=SC2034
cli_packages="libcli11-dev libminizip-dev zlib1g-dev libisal-dev libexpat1-dev"

# What the C library and the Python module add: pybind11 and Python's headers.
# shellcheck disable=SC2034
library_packages="pybind11-dev python3-dev"

# install_packages PACKAGE...: apt-get, through sudo when not root, for those missing.
install_packages() {
    missing=""
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing="$missing $package"
    done
    [ -n "$missing" ] || return 0
    echo "Installing:$missing"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    # Wait for another apt run to finish rather than failing on its lock.
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
    # shellcheck disable=SC2086
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 \
        install -y -qq --no-install-recommends $missing
}
