#!/bin/bash
# Installs what is missing, builds everything and runs every test: native GoogleTest of the pure code, then the
# Windows build's GoogleTest and whole-program scenarios under Wine (throwaway prefix under build/win32) with Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS=${JOBS:-$(nproc)}
bash scripts/setup-debian.sh
bash tests/e2e/pac_eval_setup.sh   # the PAC evaluator of the proxy scenario, into build/pac-eval
export LC_ALL=C.UTF-8

echo "== native build"
cmake --preset native >/dev/null
cmake --build --preset native -j"$JOBS"
echo "== Windows build (mingw-w64, i686)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$JOBS"

mkdir -p build/logs
status=0
echo "== native tests"
ctest --test-dir build/native -V --timeout 600 > build/logs/native.log 2>&1 || status=1
echo "== tests under Wine"
export VANTARO_WINEPREFIX="$ROOT/build/win32/wineprefix"
# shellcheck disable=SC1091
source scripts/wine-env.sh 2>/dev/null
trap vantaro_wine_stop EXIT
ctest --test-dir build/win32 -V --timeout 900 > build/logs/win32.log 2>&1 || status=1

# What each suite did: failures in full, then the GoogleTest summaries and one closing count.
python3 scripts/test_summary.py build/logs/native.log build/logs/win32.log || status=1
exit $status
