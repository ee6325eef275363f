#!/usr/bin/python3
"""bench.py - our QR decoder side by side with the peer decoders of bench_peers.py.

  /usr/bin/python3 bench/qr/bench.py CORPUS --cli build/native/src/qr/qr_cli
      [--reps 3] [--decoders vantaro,zbarimg,...] [--json out.json] [--peers DIR]

Our decoder ("vantaro") runs in one qr_cli process over all files first; its times are measured inside
the process around the decode call (BMP parsing from memory + decoding, median of --reps runs), like the
in-process peers. The per-image scoring is bench_peers.py's. Prints bench_peers' table, then a markdown table
of pass rates per category and median / 95th-percentile times.
"""
import argparse
import collections
import json
import os
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))


def load_peers(d):
    sys.path.insert(0, d)
    import bench_peers  # noqa: E402
    return bench_peers


def run_cli(cli, corpus, reps):
    recs = [json.loads(l) for l in open(os.path.join(corpus, "manifest.jsonl"), encoding="utf-8")]
    paths = [os.path.join(corpus, r["file"]) for r in recs]
    out = {}
    for i in range(0, len(paths), 200):
        p = subprocess.run([cli, "--reps", str(reps)] + paths[i:i + 200], capture_output=True, check=True)
        for line in p.stdout.decode("utf-8").splitlines():
            o = json.loads(line)
            out[o["file"]] = o
    return out


def pct(vals, q):
    v = sorted(vals)
    return v[min(len(v) - 1, int(q * len(v)))]


def markdown(results, decs):
    cats = []
    for r in results:
        if r["category"] not in cats:
            cats.append(r["category"])
    lines = ["| category | imgs | " + " | ".join(decs) + " |", "|---|---:|" + "---:|" * len(decs)]
    for c in cats + ["ALL"]:
        rs = [r for r in results if c == "ALL" or r["category"] == c]
        cells = []
        for d in decs:
            ok = sum(r[d]["ok"] for r in rs)
            extra = sum(r[d]["extra"] for r in rs)
            cells.append("%.1f%%%s" % (100.0 * ok / len(rs), " (%d extra)" % extra if extra else ""))
        name = "**ALL**" if c == "ALL" else c
        lines.append("| %s | %d | %s |" % (name, len(rs), " | ".join(cells)))
    lines.append("")
    lines.append("Decode time per category, median / 95th percentile, ms:")
    lines.append("")
    lines.append("| category | " + " | ".join(decs) + " |")
    lines.append("|---|" + "---:|" * len(decs))
    for c in cats:
        rs = [r for r in results if r["category"] == c]
        lines.append("| %s | %s |" % (c, " | ".join(
            "%.2f / %.2f" % (statistics.median(r[d]["ms"] for r in rs), pct([r[d]["ms"] for r in rs], 0.95))
            for d in decs)))
    lines.append("")
    crops = [r for r in results if r["pixels"] < 1920 * 1080]
    full = [r for r in results if r["pixels"] >= 1920 * 1080]
    lines.append("| decoder | median ms, crops (n=%d) | p95 ms, crops | median ms, 1920x1080 (n=%d) | "
                 "p95 ms, 1920x1080 |" % (len(crops), len(full)))
    lines.append("|---|---:|---:|---:|---:|")
    for d in decs:
        cm = [r[d]["ms"] for r in crops]
        fm = [r[d]["ms"] for r in full] or [0]
        lines.append("| %s | %.2f | %.2f | %.2f | %.2f |" % (
            d, statistics.median(cm), pct(cm, 0.95), statistics.median(fm), pct(fm, 0.95)))
    return "\n".join(lines)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("corpus")
    ap.add_argument("--cli", default=os.path.join(REPO, "build/native/src/qr/qr_cli"))
    ap.add_argument("--reps", type=int, default=3)
    ap.add_argument("--decoders", default="vantaro,zbarimg,zxingreader,zxing_inproc,zxing_inproc_cascade,"
                    "zbar_inproc")
    ap.add_argument("--json", default="")
    ap.add_argument("--peers", default=os.path.join(os.path.dirname(REPO), "shared", "qr"))
    ap.add_argument("--fails", action="store_true", help="list the images our decoder got wrong")
    ap.add_argument("--tables-from", default="", help="only print the tables of an earlier --json output")
    a = ap.parse_args()
    if a.tables_from:
        results = json.load(open(a.tables_from, encoding="utf-8"))
        decs = [d for d in a.decoders.split(",") if d and d in results[0]]
        print(markdown(results, decs))
        return 0
    bp = load_peers(a.peers)
    ours = run_cli(a.cli, a.corpus, a.reps)

    def dec_vantaro(path, reps):
        o = ours[path]
        syms = o["symbols"]
        return [s["text"] for s in syms], o["ms"], [
            {"version": s["version"], "level": s["level"], "sa": s.get("sa")} for s in syms]

    bp.DECODERS["vantaro"] = dec_vantaro
    out_json = a.json or os.path.join(a.corpus, "bench.json")
    sys.argv = [sys.argv[0], a.corpus, "--reps", str(a.reps), "--decoders", a.decoders, "--json", out_json]
    bp.main()
    results = json.load(open(out_json, encoding="utf-8"))
    decs = [d for d in a.decoders.split(",") if d]
    print()
    print(markdown(results, decs))
    if "vantaro" in decs:
        # our decoder's process CPU time: unlike wall time it does not grow when other work shares the cores
        size = {r["file"]: r["pixels"] for r in results}
        crops = [o["cpu_ms"] for f, o in ours.items() if size[os.path.relpath(f, a.corpus)] < 1920 * 1080]
        full = [o["cpu_ms"] for f, o in ours.items() if size[os.path.relpath(f, a.corpus)] >= 1920 * 1080]
        dec_full = [o["decode_ms"] for f, o in ours.items() if size[os.path.relpath(f, a.corpus)] >= 1920 * 1080]
        print()
        print("| vantaro CPU time | median ms, crops | p95 ms, crops | median ms, 1920x1080 | p95 ms, 1920x1080 |")
        print("|---|---:|---:|---:|---:|")
        print("| BMP parsing + decoding | %.2f | %.2f | %.2f | %.2f |" % (
            statistics.median(crops), pct(crops, 0.95), statistics.median(full), pct(full, 0.95)))
        print()
        print("vantaro wall time of decoding alone (no BMP parsing), 1920x1080: median %.2f ms" %
              statistics.median(dec_full))
    if a.fails and "vantaro" in decs:
        for r in results:
            if not r["vantaro"]["ok"]:
                print("FAIL", r["file"], "found", r["vantaro"]["found"], "extra", r["vantaro"]["extra"])
    return 0


if __name__ == "__main__":
    sys.exit(main())
