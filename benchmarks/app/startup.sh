#!/usr/bin/env bash
# Starts the real program with a generated bookmark file (100,000 nodes by default) under Xvfb and
# measures the time until its window is shown, its peak memory, and the time a termination signal takes
# to save and exit.
set -euo pipefail
build=${1:-build}
nodes=${2:-100000}
if [ -z "${VELLUMITE_UNDER_XVFB:-}" ]; then
    export VELLUMITE_UNDER_XVFB=1
    exec "$(dirname "$0")/../../tests/common/xvfb-exec" 1280x1024x24 "$0" "$build" "$nodes"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/PortableVellumite" "$work/"
"$build/benchmarks/make_bookmark_file" "$work/Bookmarks.lkb" "$nodes"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

start=$(date +%s.%N)
"$work/PortableVellumite" &
pid=$!
# xdotool's own --sync looks only every half second; a short poll keeps the figure to the window.
until xdotool search --onlyvisible --name "Vellumite Portable Edition" >/dev/null 2>&1; do
    sleep 0.01
done
shown=$(date +%s.%N)
sleep 1
peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
before_save=$(date +%s.%N)
kill -TERM "$pid"
wait "$pid"
saved=$(date +%s.%N)
printf 'nodes %s: window shown after %.3f s, peak memory %d MB, save and exit %.3f s\n' \
    "$nodes" "$(echo "$shown - $start" | bc)" "$((peak / 1024))" "$(echo "$saved - $before_save" | bc)"
