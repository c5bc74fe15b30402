#!/usr/bin/env bash
# DownloadToFile (under Wine) against curl on the same 100 MB file from the local update server over HTTPS, in one
# run. Usage: tests/bench/download_benchmark.sh [rounds]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
rounds=${1:-3}
cmake --preset windows >/dev/null
cmake --build --preset windows --target download_benchmark add_root_cert >/dev/null
work="$root/build/bench/download"
rm -rf "$work"
mkdir -p "$work/www"
head -c $((100 * 1024 * 1024)) /dev/urandom >"$work/www/big.bin"
python3 tools/update-server/update_server.py --state-dir "$work" --ca-dir build/windows/update-server-ca \
    --max-lifetime 600 >"$work/server.log" 2>&1 &
server=$!
trap 'touch "$work/stop"; wait $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 600); do [ -f "$work/ready.json" ] && break; sleep 0.1; done
port=$(python3 -c "import json,sys; print(json.load(open(sys.argv[1]))['trusted'])" "$work/ready.json")
url="https://localhost:$port/big.bin"
winpath() { echo "Z:${1//\//\\}"; }
scripts/wine-run.sh --prefix build/windows/wineprefix build/windows/bin/add-root-cert.exe \
    "$(winpath "$root/build/windows/update-server-ca/test-ca.der")"

curl_times=()
for _ in $(seq "$rounds"); do
    curl_times+=("$(curl -s --cacert build/windows/update-server-ca/test-ca.pem -o "$work/curl.bin" -w '%{time_total}' "$url")")
done
ours=$(scripts/wine-run.sh --prefix build/windows/wineprefix build/windows/bin/download-benchmark.exe "$url" \
    "$(winpath "$work/ours.bin")" "$rounds")
cmp -s "$work/curl.bin" "$work/www/big.bin" && cmp -s "$work/ours.bin" "$work/www/big.bin" || {
    echo "downloaded files differ from the served one" >&2
    exit 1
}
python3 - "$ours" "${curl_times[@]}" <<'PY'
import statistics, sys
ours = [float(line) for line in sys.argv[1].splitlines() if line and not line.startswith("median")]
curl = [float(x) for x in sys.argv[2:]]
o, c = statistics.median(ours), statistics.median(curl)
print("DownloadToFile rounds %s, median %.3f s (%.0f MB/s)" % (ours, o, 100 / o))
print("curl           rounds %s, median %.3f s (%.0f MB/s)" % (curl, c, 100 / c))
print("ratio DownloadToFile/curl %.2f" % (o / c))
PY
