#!/usr/bin/env python3
"""Writes a WAD with PAGES pages (varied pixels), PAGES records and a 1 MB rest: make_large_wad.py OUT [PAGES]"""
import os
import struct
import sys

out = sys.argv[1]
pages = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
page_bytes = 256 * 256 * 3
with open(out, "wb") as f:
    f.write(struct.pack("<Ii", 130, pages))
    for i in range(pages):
        f.write(struct.pack("<BBHbBbB", i % 200, i % 100, i, -1, 63, -1, 63))
    f.write(struct.pack("<i", pages * page_bytes))
    block = os.urandom(page_bytes * 8)
    for i in range(pages):
        start = (i * 7919) % (len(block) - page_bytes)
        f.write(block[start:start + page_bytes])
    f.write(os.urandom(1 << 20))
