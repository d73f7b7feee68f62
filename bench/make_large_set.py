#!/usr/bin/env python3
"""Writes a product set of the install benchmark into the folder named on the
command line: the 24 manifest files of Edition 0, files for the "*.whs", "*.txt"
and "*.tpl" patterns and a "viewer" sub-folder, of incompressible bytes. The
large set (the default) has 200 MiB in 33 files; with --many, 2,000 files of
4 KiB. setup.exe is copied in by run.sh."""
import os
import sys

MiB = 1024 * 1024
MANIFEST = [
    "Vestra.exe", "vstmain.dat", "vstfont.dat", "vstsym.dat", "vstcore.dll", "vstgrx.dll",
    "vstlang.dat", "vstprint.dll", "vstimp.dll", "vstexp.dll", "vsthyph.dat", "vstthes.dat",
    "vstspell.dat", "vstcolor.dat", "vstunit.dat", "vsttwain.dll", "vstconv.exe", "vstzip.dll",
    "vstmapi.dll", "vstsampl.dat", "Vestra.hlp", "Vestra.cnt", "Vestra-d.hlp", "Vestra-d.cnt",
]
PATTERNS = ["default.whs", "samples.whs", "readme.txt", "license.txt", "letter.tpl",
            "report.tpl"]
VIEWER = ["viewer/vview.exe", "viewer/vview.dll", "viewer/vview.txt"]


def sizes():
    """182 MiB over the manifest (big and small files mixed), 6 MiB of pattern
    files and 12 MiB in the viewer folder: 200 MiB."""
    manifest = {}
    for row, name in enumerate(MANIFEST):
        manifest[name] = (4 + 6 * (row % 2)) * MiB if row < 22 else 1 * MiB
    manifest["Vestra.exe"] += 182 * MiB - sum(manifest.values())
    rest = {name: 1 * MiB for name in PATTERNS}
    rest.update({name: 4 * MiB for name in VIEWER})
    return {**manifest, **rest}


def many_sizes():
    """The manifest and 1,976 more files, a quarter of them each pattern's and
    the viewer's: 2,000 files of 4 KiB."""
    folders = ["{}.whs", "{}.txt", "{}.tpl", "viewer/{}.dat"]
    names = MANIFEST + [folders[i % 4].format(f"file{i:04}") for i in range(2000 - len(MANIFEST))]
    return {name: 4096 for name in names}


def main():
    many = sys.argv[1] == "--many"
    root = sys.argv[2 if many else 1]
    os.makedirs(os.path.join(root, "viewer"), exist_ok=True)
    all_sizes = many_sizes() if many else sizes()
    assert sum(all_sizes.values()) == (2000 * 4096 if many else 200 * MiB)
    for name, size in all_sizes.items():
        path = os.path.join(root, name)
        if os.path.exists(path) and os.path.getsize(path) == size:
            continue
        with open(path, "wb") as f:
            left = size
            while left:
                n = min(left, 4 * MiB)
                f.write(os.urandom(n))
                left -= n


if __name__ == "__main__":
    main()
