# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Builds the Windows Installer package from the program as installed.

    make_msi.py WIXL WXS ARCH STAGE_DIR ICON OUTPUT

wixl (Debian's msitools 0.101) packs the files of STAGE_DIR as WXS describes.
Three things it writes would differ from build to build, and are fixed here:

- each file's time in the cabinet is its modification time: with
  SOURCE_DATE_EPOCH set, the staged files get that time first;
- the summary information's Created and Last Saved times are the current time:
  with SOURCE_DATE_EPOCH set, they become that time;
- the package code (the summary information's revision number) is a random
  UUID, as wixl does not read <Package Id>: it becomes a name-based UUID of the
  package's own bytes, so that the same package always has the same code and
  any other package another one, as Windows Installer requires.

Nothing else of it depends on the path, the time zone, the umask or the locale
(the cabinet's times are in UTC), and it is written under TZ=UTC and LC_ALL=C
all the same. The summary information is rewritten in place in the compound
file: its values keep their sizes, so no other byte moves.
"""

import hashlib
import os
import struct
import subprocess
import sys
import uuid

# The namespace of the name-based UUIDs of Vistral's packages.
PACKAGE_NAMESPACE = uuid.UUID("5b0f6e2c-8a43-4d17-9c2e-71f4a3d9b680")

SUMMARY_STREAM = "\x05SummaryInformation"
PID_REVISION_NUMBER = 9  # the package code
PID_CREATED = 12
PID_LAST_SAVED = 13
VT_LPSTR = 30
VT_FILETIME = 64
END_OF_CHAIN = 0xFFFFFFFE


def stream_offsets(data, name):
    """The file offsets of each byte of stream NAME of a compound file (version 3
    or 4, with its whole FAT listed in the header, as a small package has)."""
    sector_shift, mini_shift = struct.unpack_from("<HH", data, 0x1E)
    first_dir, cutoff, first_minifat = struct.unpack_from("<I4xII", data, 0x30)
    if struct.unpack_from("<I", data, 0x48)[0]:
        raise SystemExit("make_msi.py: compound file too large (DIFAT sectors)")
    sector = 1 << sector_shift
    difat = [s for s in struct.unpack_from("<109I", data, 0x4C) if s < 0xFFFFFFFA]
    fat = []
    for s in difat:
        fat += struct.unpack_from(f"<{sector // 4}I", data, (s + 1) * sector)

    def chain(start, table):
        while start != END_OF_CHAIN:
            yield start
            start = table[start]

    def sector_offsets(start):
        return [(s + 1) * sector + i for s in chain(start, fat) for i in range(sector)]

    directory = bytes(data[o] for o in sector_offsets(first_dir))
    entries = [directory[i : i + 128] for i in range(0, len(directory), 128)]
    root_start = struct.unpack_from("<I", entries[0], 116)[0]
    for entry in entries:
        length = struct.unpack_from("<H", entry, 64)[0]
        if entry[: max(length - 2, 0)].decode("utf-16-le") != name or entry[66] != 2:
            continue
        start, size = struct.unpack_from("<II", entry, 116)
        if size >= cutoff:
            return sector_offsets(start)[:size]
        mini = 1 << mini_shift
        minifat_bytes = bytes(data[o] for o in sector_offsets(first_minifat))
        minifat = struct.unpack(f"<{len(minifat_bytes) // 4}I", minifat_bytes)
        mini_stream = sector_offsets(root_start)
        return [mini_stream[m * mini + i] for m in chain(start, minifat) for i in range(mini)][:size]
    raise SystemExit(f"make_msi.py: no stream {name!r} in the package")


def rewrite_summary(data, package_code, filetime):
    """Writes PACKAGE_CODE and, unless None, FILETIME into the summary information."""
    offsets = stream_offsets(data, SUMMARY_STREAM)
    stream = bytearray(data[o] for o in offsets)
    section = struct.unpack_from("<I", stream, 44)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    for i in range(count):
        pid, offset = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        value = section + offset
        kind = struct.unpack_from("<I", stream, value)[0]
        if pid == PID_REVISION_NUMBER and kind == VT_LPSTR:
            text = ("{%s}" % str(package_code).upper()).encode("ascii") + b"\0"
            if struct.unpack_from("<I", stream, value + 4)[0] != len(text):
                raise SystemExit("make_msi.py: unexpected package code in the package")
            stream[value + 8 : value + 8 + len(text)] = text
        elif pid in (PID_CREATED, PID_LAST_SAVED) and kind == VT_FILETIME and filetime is not None:
            struct.pack_into("<Q", stream, value + 4, filetime)
    for offset, byte in zip(offsets, stream):
        data[offset] = byte


def main():
    wixl, wxs, arch, stage, icon, output = sys.argv[1:]
    if wixl.endswith("NOTFOUND"):
        raise SystemExit("make_msi.py: wixl not found (Debian: apt install wixl)")
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    filetime = None
    if epoch:
        for folder, _, files in os.walk(stage):
            for file in files:
                os.utime(os.path.join(folder, file), (int(epoch), int(epoch)))
        # 100-nanosecond ticks since 1601-01-01, UTC.
        filetime = (int(epoch) + 11644473600) * 10_000_000

    # wixl finds sources by paths relative to its working folder only.
    env = dict(os.environ, TZ="UTC", LC_ALL="C")
    temporary = os.path.abspath(output + ".tmp")
    here = os.path.dirname(os.path.abspath(wxs))
    subprocess.run(
        [wixl, "--arch", arch, "-D", f"StageDir={os.path.relpath(stage, here)}",
         "-D", f"IconFile={os.path.relpath(icon, here)}", "-o", temporary, os.path.basename(wxs)],
        check=True, cwd=here, env=env)
    with open(temporary, "rb") as file:
        data = bytearray(file.read())
    rewrite_summary(data, uuid.UUID(int=0), filetime)
    rewrite_summary(data, uuid.uuid5(PACKAGE_NAMESPACE, hashlib.sha256(data).hexdigest()), filetime)
    with open(temporary, "wb") as file:
        file.write(data)
    os.replace(temporary, output)


if __name__ == "__main__":
    main()
