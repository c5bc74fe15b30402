#!/usr/bin/env bash
# Sets everything up and runs the main job: the sensor server publishes live (demo) readings, the frames are sent
# once a second to two simulated displays, and every frame a display receives is printed, decoded.
# Usage: scripts/run.sh [seconds]   (default: until interrupted)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-0}
cd "$root"

bash scripts/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null

source scripts/wine-env.sh
wine_env "$root/build/windows/wineprefix"
work=$(mktemp -d)
cleanup() {
    wine_session_end
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
wine_session_begin

# The program folder, with the display simulator where the real hidapi.dll would be.
bin=build/windows/bin
mkdir -p "$work/app"
cp "$bin/frame-demo.exe" "$bin/sim/hidapi.dll" "$work/app/"
printf '%s\n' "path=tavo-1 model=1 firmware=0x0102" "path=tavi-1 model=2 firmware=0x0201" >"$work/devices.txt"
export DISPLAYSIM_DEVICES="$work/devices.txt" DISPLAYSIM_LOG="$work/reports.log"

SENMORA_SOURCE=demo wine "$bin/Senmora.exe" </dev/null >/dev/null 2>&1 &
wine "$work/app/frame-demo.exe" "$seconds" </dev/null &
echo "Frames received by the simulated displays (Ctrl-C stops):"
python3 tools/display-simulator/watch_frames.py "$work/reports.log" --seconds "$seconds"
