#!/usr/bin/python3
"""Writes small seed BMPs for fuzz_qr_bmp: QR codes from qrencode at 1-2 px per module in every pixel format
the reader knows (24-bit, 32-bit, 8-bit grey palette, 1-bit), bottom-up, plus one top-down copy.

    /usr/bin/python3 bench/qr/make_fuzz_seeds.py OUTDIR
"""
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image


def qr_image(text, scale, margin):
    with tempfile.TemporaryDirectory() as d:
        p = os.path.join(d, "q.png")
        subprocess.run(["qrencode", "-o", p, "-s", str(scale), "-m", str(margin), text], check=True)
        return Image.open(p).convert("L")


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    n = 0
    for text, scale in (("vantaro://A", 1), ("vantaro://MTkyLjAuMi4x", 2), ("12345678901234567890", 1)):
        im = qr_image(text, scale, 2)
        for mode in ("RGB", "RGBA", "L", "1"):
            path = os.path.join(out, "seed_%02d_%s.bmp" % (n, mode))
            im.convert(mode).save(path, "BMP")
            n += 1
    # a top-down copy: negative height in the header, rows reversed
    src = os.path.join(out, "seed_00_RGB.bmp")
    data = bytearray(open(src, "rb").read())
    off = struct.unpack_from("<I", data, 10)[0]
    w, h = struct.unpack_from("<ii", data, 18)
    stride = (w * 3 + 3) & ~3
    rows = [data[off + i * stride: off + (i + 1) * stride] for i in range(h)]
    struct.pack_into("<i", data, 22, -h)
    data[off:] = b"".join(reversed(rows))
    open(os.path.join(out, "seed_topdown.bmp"), "wb").write(bytes(data))
    print("%d seeds in %s" % (n + 1, out))


if __name__ == "__main__":
    main()
