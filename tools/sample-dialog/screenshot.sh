#!/usr/bin/env bash
# screenshot.sh sample-dialog.exe out.png wineprefix: runs the sample dialog on the current X display and saves a
# picture of the screen once the dialog has painted. Never fails the test run: a problem is only reported.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
program=$1
out=$2
prefix=$3

if [ -z "${DISPLAY:-}" ]; then
    echo "screenshot: no X display, skipped"
    exit 0
fi
mkdir -p "$(dirname "$out")"
work=$(mktemp -d "$(dirname "$out")/.sample-dialog.XXXXXX")
trap 'rm -rf "$work"' EXIT
rm -f "$out"

# Wine reaches every Unix path through drive Z:.
"$root/scripts/wine-run.sh" --prefix "$prefix" "$program" "Z:$work/ready" "Z:$work/done" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 600); do
    [ -e "$work/ready" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if [ -e "$work/ready" ]; then
    if command -v import >/dev/null; then
        import -window root "$out" 2>"$work/import.log" || echo "screenshot: import failed: $(cat "$work/import.log")"
    elif command -v xwd >/dev/null && command -v convert >/dev/null; then
        xwd -root -silent | convert xwd:- "$out" || echo "screenshot: xwd failed"
    else
        echo "screenshot: neither ImageMagick's import nor xwd is installed"
    fi
else
    echo "screenshot: the sample dialog did not come up"
fi
touch "$work/done"
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
[ -s "$out" ] && echo "screenshot: $out"
exit 0
