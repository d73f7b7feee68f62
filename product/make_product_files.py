#!/usr/bin/env python3
"""Writes the product's stand-in files (everything on the disk but setup.exe and
the main executable) into the folder named on the command line. The content is
deterministic: the same bytes on every build."""
import hashlib
import os
import sys

# Program, library and data files of the manifest (rows 1 to 23), in bytes.
BINARIES = [
    ("vstmain.dat", 412000), ("vstfont.dat", 286720), ("vstsym.dat", 97280),
    ("vstcore.dll", 655360), ("vstgrx.dll", 311296), ("vstlang.dat", 143360),
    ("vstprint.dll", 126976), ("vstimp.dll", 204800), ("vstexp.dll", 180224),
    ("vsthyph.dat", 61440), ("vstthes.dat", 524288), ("vstspell.dat", 393216),
    ("vstcolor.dat", 8192), ("vstunit.dat", 4096), ("vsttwain.dll", 57344),
    ("vstconv.exe", 98304), ("vstzip.dll", 45056), ("vstmapi.dll", 28672),
    ("vstsampl.dat", 172032), ("Vestra.hlp", 348160), ("Vestra-d.hlp", 301568),
    ("viewer/vview.exe", 81920), ("viewer/vview.dll", 36864),
]

TEXTS = {
    "Vestra.cnt": ":Base Vestra.hlp\r\n:Title Vestra Help\r\n1 Getting started\r\n"
                  "2 Introduction=intro\r\n2 Your first document=first_doc\r\n1 Reference\r\n"
                  "2 Menus=menus\r\n2 Keyboard=keys\r\n",
    "Vestra-d.cnt": ":Base Vestra-d.hlp\r\n:Title Vestra Hilfe\r\n1 Erste Schritte\r\n"
                    "2 Einf\xfchrung=intro\r\n2 Ihr erstes Dokument=first_doc\r\n1 Referenz\r\n"
                    "2 Men\xfcs=menus\r\n2 Tastatur=keys\r\n",
    "readme.txt": "Vestra\r\n======\r\n\r\nThank you for choosing Vestra. This folder holds "
                  "the program, its libraries and data files, the help files and the "
                  "document templates.\r\n\r\nStart Vestra from the Start menu or from this "
                  "folder.\r\n",
    "license.txt": "Licence agreement\r\n\r\n" + "You may install and use this copy of the "
                   "software on one computer at a time.\r\n" * 12,
    "letter.tpl": "[Template]\r\nName=Letter\r\nPage=A4\r\nMargins=25,25,20,20\r\n"
                  "[Body]\r\nSender=\r\nRecipient=\r\nDate={date}\r\nSubject=\r\n",
    "invoice.tpl": "[Template]\r\nName=Invoice\r\nPage=A4\r\nColumns=Item,Quantity,Price\r\n"
                   "[Body]\r\nNumber={counter}\r\nDate={date}\r\n",
    "report.tpl": "[Template]\r\nName=Report\r\nPage=A4\r\nHeader={title}\r\nFooter={page}\r\n",
    "default.whs": "[Workspace]\r\nWindows=1\r\nLayout=Tiled\r\nZoom=100\r\n",
    "samples.whs": "[Workspace]\r\nWindows=3\r\nLayout=Cascade\r\nZoom=75\r\n"
                   "Open=letter.tpl,invoice.tpl,report.tpl\r\n",
    "viewer/vview.txt": "Vestra Viewer\r\n\r\nShows Vestra documents on computers without "
                        "Vestra.\r\n",
}


def stream(name, size):
    """Deterministic bytes that look like program or data content."""
    out = bytearray()
    counter = 0
    seed = name.encode("ascii")
    while len(out) < size:
        block = hashlib.sha256(seed + counter.to_bytes(4, "little")).digest()
        # Runs of zeros and repeated records, as real files have.
        if counter % 7 == 0:
            block = bytes(32)
        elif counter % 5 == 0:
            block = (seed + b"\x00" * 32)[:32]
        out += block
        counter += 1
    return out[:size]


def header(name):
    ext = name.rsplit(".", 1)[-1].lower()
    if ext in ("exe", "dll"):
        return b"MZ\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xff\xff\x00\x00"
    if ext == "hlp":
        return b"\x3f\x5f\x03\x00"
    return b"VSTD" + os.path.basename(name).encode("ascii").ljust(12, b"\x00")


def write(folder, name, data):
    path = os.path.join(folder, *name.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    folder = sys.argv[1]
    for name, size in BINARIES:
        head = header(name)
        write(folder, name, head + stream(name, size - len(head)))
    for name, text in TEXTS.items():
        write(folder, name, text.encode("cp1252"))


if __name__ == "__main__":
    main()
