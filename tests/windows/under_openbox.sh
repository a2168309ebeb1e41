#!/bin/sh
# Runs a window test binary on a virtual X display (1280 x 1024) under openbox.
#   under_openbox.sh TEST_BINARY [GTEST ARGUMENTS...]
set -eu
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    log=$(mktemp)
    trap "rm -f \"\$log\"" EXIT
    # The display can be slow to take connections on a busy machine, and the tests
    # must not start before the window manager manages the screen.
    managed=false
    for _ in $(seq 20); do
        openbox >"$log" 2>&1 &
        wm=$!
        for _ in $(seq 40); do
            if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
                managed=true
                break 2
            fi
            kill -0 "$wm" 2>/dev/null || break
            sleep 0.05
        done
        kill "$wm" 2>/dev/null || true
        sleep 0.2
    done
    if [ "$managed" != true ]; then
        echo "openbox did not start:" >&2
        cat "$log" >&2
        exit 1
    fi
    status=0
    BRELVOXA_WINDOW_MANAGER=openbox QT_QPA_PLATFORM=xcb "$@" || status=$?
    kill "$wm" 2>/dev/null || true
    exit "$status"
' under_openbox "$@"
