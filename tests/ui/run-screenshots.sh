#!/bin/sh
# Takes the pictures of the dialogs on a virtual X display. Without xvfb-run the test
# is reported as skipped (exit 77).
set -eu
test_ui="$1"; out="$2"
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run is not installed: dialog pictures skipped"
    exit 77
fi
# A real window: set to 0 rather than unset, since the test program makes an unset one 1.
export PELLMOOR_HEADLESS=0
# The X client libraries (D-Bus, the GL driver) keep allocations to the end of the
# process; in a sanitizer build they are not ours to report.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
exec env SDL_VIDEODRIVER=x11 PELLMOOR_SCREENSHOT_DIR="$out" \
    xvfb-run -a -s "-screen 0 1024x768x24" "$test_ui" --gtest_filter='DialogScreenshot.*'
