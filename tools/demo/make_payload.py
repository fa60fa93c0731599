#!/usr/bin/python3
"""Pads a program to a given size with deterministic noise after its image.

Windows ignores data appended to an executable, so the padded file still runs;
the noise (not zeros) makes a spliced or shifted download show up as a
different digest.
"""
import random
import sys


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: make_payload.py PROGRAM OUTPUT SIZE_BYTES")
    program, output, size = sys.argv[1], sys.argv[2], int(sys.argv[3])
    with open(program, "rb") as f:
        image = f.read()
    if len(image) > size:
        sys.exit(f"{program} is larger than {size} bytes")
    noise = random.Random(20261211).randbytes(size - len(image))
    with open(output + ".tmp", "wb") as f:
        f.write(image)
        f.write(noise)
    import os
    os.replace(output + ".tmp", output)


if __name__ == "__main__":
    main()
