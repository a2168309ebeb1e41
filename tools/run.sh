#!/usr/bin/env bash
# Installs what building and running Brelvoxa needs, builds the programs into build/
# (or BUILD_DIR; extra arguments go to cmake) and starts the calculator. Without a
# display it runs the calculator on a virtual one (Xvfb), saves a screenshot of the
# ready window, prints its path and closes the calculator again.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
install_packages $build_packages
# Without a display: the virtual one, and the tools that find and save the window.
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || install_packages xvfb xauth x11-utils imagemagick

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" -j "$(nproc)"
program="$PWD/$build_dir/app/Dormatique"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$program"
fi

mkdir -p screenshots
export SCREENSHOT="$PWD/screenshots/calculadora.png" PROGRAM="$program"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$PROGRAM" & pid=$!
    for _ in $(seq 100); do
        id=$(xwininfo -root -tree 2>/dev/null | awk "/\"Calcular IBAN\"/ {print \$1; exit}")
        [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "${id:-}" ] || { echo "The calculator window did not appear." >&2; kill $pid; exit 1; }
    sleep 1
    import -window "$id" "$SCREENSHOT"
    kill $pid; wait $pid 2>/dev/null || true
'
echo "No display here: the calculator ran on a virtual one. Screenshot: $SCREENSHOT"
