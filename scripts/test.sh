#!/usr/bin/env bash
# Sets everything up and runs every test of both builds: platform-free code natively with sanitizers, and the
# Windows programs under Wine. Ends with ctest's summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/bootstrap.sh
for preset in host windows; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

source scripts/wine-env.sh
wine_env "$root/build/windows/wineprefix"
trap wine_session_end EXIT
wine_session_begin

# Wine's desktop process exits a few seconds after the last program leaves, and the next program that starts it
# again hands it that test's output pipe: ctest then waits on that test until the desktop exits at the end of the
# run. A program kept waiting on an open pipe for the whole run keeps the desktop up.
holder_dir=$(mktemp -d)
mkfifo "$holder_dir/stdin"
wine cmd <"$holder_dir/stdin" >/dev/null 2>&1 &
exec 9>"$holder_dir/stdin"
rm -rf "$holder_dir"

# One ctest run over both build trees, so a single summary covers every test.
cat > build/CTestTestfile.cmake <<'EOT'
subdirs("host")
subdirs("windows")
EOT
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
