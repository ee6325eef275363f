#!/bin/bash
# QR benchmark in one command: builds qr_cli natively, makes the shared corpus (seed 1, --reps 2) under build/,
# runs our decoder and the peer decoders side by side and prints the per-category table.
#   bash bench/qr/run.sh [extra bench.py options, e.g. --reps 5]
# QR_SHARED points at the shared QR scripts (default: ../shared/qr beside the repository).
set -euo pipefail
cd "$(dirname "$0")/../.."
shared="${QR_SHARED:-$(cd .. && pwd)/shared/qr}"
bash scripts/setup-qr-bench.sh
cmake --preset native >/dev/null
cmake --build build/native --target qr_cli -j2
rm -rf build/qr-corpus
/usr/bin/python3 "$shared/make_qr_corpus.py" --out build/qr-corpus --seed 1 --reps 2
/usr/bin/python3 bench/qr/bench.py build/qr-corpus --peers "$shared" --cli build/native/src/qr/qr_cli \
  --json build/qr-bench.json "$@"
