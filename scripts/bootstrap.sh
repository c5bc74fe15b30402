#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian machine. Safe to run again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
    cmake ninja-build python3 openssl curl
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev zlib1g-dev
    wine wine64 xvfb xauth x11-utils xdotool imagemagick
    googletest libgtest-dev libbenchmark-dev
    nsis
    fonts-dejavu-core
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "bootstrap: installing ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Third-party C sources ship inside npm tarballs; each is pinned by version and SHA-256.
deps="$root/.deps"
mkdir -p "$deps/cache"
while read -r spec sum; do
    case "$spec" in ''|'#'*) continue ;; esac
    tarball="$deps/cache/$(echo "${spec%@*}" | tr -d '@' | tr '/' '-')-${spec##*@}.tgz"
    if [ ! -f "$tarball" ]; then
        tmp=$(mktemp -d)
        (cd "$tmp" && npm pack --silent "$spec" >/dev/null)
        mv "$tmp"/*.tgz "$tarball"
        rm -rf "$tmp"
    fi
    actual=$(sha256sum "$tarball" | cut -d' ' -f1)
    if [ "$actual" != "$sum" ]; then
        rm -f "$tarball"
        echo "bootstrap: checksum mismatch for $spec: expected $sum, got $actual; refusing to use it" >&2
        exit 1
    fi
done < "$root/scripts/deps.lock"

unpack() { # tarball, folder inside it, destination
    local stamp="$3/.from-$(basename "$1")"
    [ -f "$stamp" ] && return 0
    rm -rf "$3" && mkdir -p "$3"
    tar xzf "$1" -C "$3" --strip-components="$(echo "$2" | tr -cd / | wc -c)" "$2"
    touch "$stamp"
}
unpack "$deps/cache/node-hid-3.4.0.tgz" package/hidapi/ "$deps/hidapi"
unpack "$deps/cache/minizip-asm.js-1.0.10.tgz" package/external/zlib/contrib/minizip/ "$deps/minizip"
echo "bootstrap: ready"
