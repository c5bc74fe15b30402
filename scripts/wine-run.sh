#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's private prefix: wine-run.sh --prefix DIR program [args].
# ctest uses it as the cross-compiling emulator; the run command uses it too.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=${WINEPREFIX:-}
if [ "${1:-}" = "--prefix" ]; then
    prefix=$2
    shift 2
fi
[ -n "$prefix" ] || { echo "wine-run: no prefix given (--prefix DIR or WINEPREFIX)" >&2; exit 2; }
mkdir -p "$(dirname "$prefix")"
prefix="$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")"
[ $# -ge 1 ] || { echo "usage: wine-run.sh --prefix DIR program [args]" >&2; exit 2; }

source "$here/wine-env.sh"
wine_env "$prefix"
wine_session_begin || exit 1

program=$1
shift
status=0
wine "$program" "$@" || status=$?
# Under ctest the display and the wineserver belong to the whole run; on its own the runner cleans up after itself.
[ -z "$WINE_SESSION_XVFB" ] || wine_session_end
exit $status
