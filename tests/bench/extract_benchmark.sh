#!/usr/bin/env bash
# ExtractArchive against miniunz on the same 50 MB archive of 1,000 files, under Wine. Builds the Windows preset
# first; the archive is made once with Python's zipfile. Usage: tests/bench/extract_benchmark.sh [rounds]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows --target extract_benchmark >/dev/null
work="$root/build/bench"
mkdir -p "$work"
archive="$work/bench-50mb-1000.zip"
if [ ! -f "$archive" ]; then
    python3 - "$archive" <<'PY'
import random, sys, zipfile
rng = random.Random(50)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(3, 9))) for _ in range(4000)]
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for i in range(1000):
        # Half text-like, half random bytes: about 50 MB unpacked, a mix of well and poorly compressible data.
        text = b" ".join(rng.choice(words) for _ in range(4500))[:25000]
        noise = rng.randbytes(25000)
        z.writestr("folder%02d/file%04d.bin" % (i % 20, i), text + noise)
PY
fi
ls -l "$archive"
winpath() { echo "Z:${1//\//\\}"; }
scripts/wine-run.sh --prefix build/windows/wineprefix build/windows/bin/extract-benchmark.exe \
    "$(winpath "$archive")" "$(winpath "$work/extract")" "${1:-3}"
rm -rf "$work/extract"
