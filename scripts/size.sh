#!/usr/bin/env bash
# Prints the size of setup.exe per edition: the whole file, the program alone
# (the end of the last section's raw data in the PE headers) and the
# description block appended behind it. Reads the shipped i686 build by
# default; pass another Windows build folder (e.g. build/win64) to read that.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/win}"
python3 - "$build" <<'PY'
import struct, sys

def program_end(data):
    # PE signature offset, then the COFF header: section count and the size
    # of the optional header; the section table follows that.
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, = struct.unpack_from("<H", data, pe + 6)
    optional, = struct.unpack_from("<H", data, pe + 20)
    table = pe + 24 + optional
    end = 0
    for i in range(sections):
        raw_size, raw_pointer = struct.unpack_from("<II", data, table + 40 * i + 16)
        if raw_size:
            end = max(end, raw_pointer + raw_size)
    return end

build = sys.argv[1]
print(f"setup.exe sizes in {build} (bytes)")
print(f"{'edition':<10}{'whole file':>12}{'program':>12}{'description':>13}")
for edition in (0, 1):
    path = f"{build}/edition{edition}/setup.exe"
    try:
        data = open(path, "rb").read()
    except OSError as error:
        print(f"{edition:<10}missing: {error}")
        continue
    end = program_end(data)
    print(f"{edition:<10}{len(data):>12}{end:>12}{len(data) - end:>13}")
PY
