#!/bin/bash
# Installs the PAC evaluator the proxy scenario uses (pac-resolver on QuickJS, pinned) into build/pac-eval.
# Safe to run again: it does nothing when the packages are there.
set -euo pipefail
cd "$(dirname "$0")/../.."
target=build/pac-eval
[ -f "$target/node_modules/pac-resolver/package.json" ] && [ -d "$target/node_modules/quickjs-emscripten" ] && exit 0
command -v npm >/dev/null || { echo "npm is missing (scripts/setup-debian.sh installs it)" >&2; exit 1; }
mkdir -p "$target"
[ -f "$target/package.json" ] || echo '{"name":"vantaro-pac-eval","private":true}' > "$target/package.json"
npm install --prefix "$target" --no-audit --no-fund --loglevel=error pac-resolver@7.0.1 quickjs-emscripten@0.29.2 >/dev/null
