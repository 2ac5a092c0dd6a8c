#!/usr/bin/env bash
# Starts the real editor in an empty folder under a virtual X server. Only the "Error" dialog
# may appear (no main window); pressing Return (its default button is Quit) must end the
# program with exit code 255.
# Usage: exit_without_tiles.sh <path to terrain-editor>
# Exit codes: 0 passed, 1 failed, 77 skipped (xvfb-run or xdotool missing).
set -u

exe=${1:-}
if [ -z "$exe" ] || [ ! -x "$exe" ]; then
    echo "usage: $0 <path to terrain-editor>" >&2
    exit 1
fi
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")

for tool in xvfb-run xdotool timeout; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

# Outside the virtual display: start one and run this script again inside it.
if [ -z "${TERRAIN_EXIT_TEST_INNER:-}" ]; then
    TERRAIN_EXIT_TEST_INNER=1 timeout 50 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$exe"
    rc=$?
    if [ $rc -eq 124 ]; then
        echo "FAIL: the test timed out"
        exit 1
    fi
    exit $rc
fi

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null
        sleep 0.5
        kill -9 "$pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

cd "$work" || fail "cannot enter $work"
QT_QPA_PLATFORM=xcb "$exe" >"$work/editor.log" 2>&1 &
pid=$!

dialog=$(timeout 20 xdotool search --sync --name '^Error$' 2>/dev/null | head -n 1)
if [ -z "$dialog" ]; then
    cat "$work/editor.log"
    fail "no window named \"Error\" appeared"
fi
# Give the program a moment in which a main window would have shown up beside the dialog.
sleep 0.5
if xdotool search --name 'Quillo' >/dev/null 2>&1; then
    fail "a main window opened although there are no tiles"
fi

# Without a window manager the dialog may not have the keyboard focus yet: give it the focus
# and press Return until the program has ended.
for _ in $(seq 1 20); do
    kill -0 "$pid" 2>/dev/null || break
    xdotool windowfocus --sync "$dialog" >/dev/null 2>&1
    xdotool key --clearmodifiers Return >/dev/null 2>&1
    sleep 0.5
done
if kill -0 "$pid" 2>/dev/null; then
    fail "the program is still running after Quit"
fi

wait "$pid"
rc=$?
pid=
if [ $rc -ne 255 ]; then
    cat "$work/editor.log"
    fail "exit code $rc, expected 255"
fi
echo "PASS: only the Error dialog appeared and the exit code was 255"
exit 0
