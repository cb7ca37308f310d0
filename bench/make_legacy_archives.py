#!/usr/bin/env python3
"""Builds large archives for the legacy decoder speed comparison out of the
fixture archives: each output repeats one real entry (its local header and
compressed data copied byte for byte, only the name changed) N times.

usage: make_legacy_archives.py OUTDIR [COPIES]
"""
import os
import struct
import sys
import zipfile

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixtures", "legacy")
SOURCES = [
    ("shrink", "gen_hwzip_A_shrink.zip", "PLAY.TXT"),
    ("reduce4", "gen_hwzip_A_reduce4.zip", "PLAY.TXT"),
    ("reduce1", "gen_hwzip_A_reduce1.zip", "PLAY.TXT"),
    ("implode-4k2", "gen_hwzip_A_implode-4k2.zip", "PLAY.TXT"),
    ("implode-8k3", "gen_hwzip_A_implode-8k3.zip", "PLAY.TXT"),
]


def repeat_entry(src, entry, dst, copies):
    raw = open(src, "rb").read()
    info = zipfile.ZipFile(src).getinfo(entry)
    off = info.header_offset
    name_len, extra_len = struct.unpack("<HH", raw[off + 26:off + 30])
    fixed = raw[off + 4:off + 26]  # version .. uncompressed size
    data = raw[off + 30 + name_len + extra_len:off + 30 + name_len + extra_len + info.compress_size]
    out = bytearray()
    central = bytearray()
    for i in range(copies):
        name = ("%05d_%s" % (i, entry)).encode()
        local = len(out)
        out += b"PK\x03\x04" + fixed + struct.pack("<HH", len(name), 0) + name + data
        central += (b"PK\x01\x02" + struct.pack("<H", 20) + fixed
                    + struct.pack("<HHHHHII", len(name), 0, 0, 0, 0, 0, local) + name)
    start = len(out)
    out += central
    out += b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, copies, copies, len(central), start, 0)
    open(dst, "wb").write(out)
    return info.file_size * copies


def main():
    outdir = sys.argv[1]
    copies = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    os.makedirs(outdir, exist_ok=True)
    for label, src, entry in SOURCES:
        dst = os.path.join(outdir, "legacy-%s.zip" % label)
        size = repeat_entry(os.path.join(FIXTURES, src), entry, dst, copies)
        print("%s\t%d" % (dst, size))


if __name__ == "__main__":
    main()
