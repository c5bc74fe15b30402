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
wine_prepare_prefix
started_xvfb=""
if [ -z "${DISPLAY:-}" ]; then
    wine_start_xvfb
    started_xvfb=1
fi
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "$started_xvfb" ] || wine_stop_xvfb
}
trap cleanup EXIT
wine_start_services

# One ctest run over both build trees, so a single summary covers every test.
cat > build/CTestTestfile.cmake <<'EOT'
subdirs("host")
subdirs("windows")
EOT
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
