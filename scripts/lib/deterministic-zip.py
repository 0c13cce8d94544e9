#!/usr/bin/env python3
"""Packs a folder into a zip that depends on nothing but the files' names and
bytes: entries sorted by name, every entry dated SOURCE_DATE_EPOCH (in UTC,
as a zip has no time zone), modes 755 for programs and folders and 644 for
the rest, no owner.

    deterministic-zip.py ZIP FOLDER    (FOLDER becomes the zip's top folder)
"""
import os
import sys
import time
import zipfile


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    zip_path, folder = sys.argv[1], os.path.normpath(sys.argv[2])
    # A zip's dates start in 1980.
    seconds = max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800)
    date = time.gmtime(seconds)[:6]
    names = []
    for parent, dirs, files in os.walk(folder):
        relative = os.path.relpath(parent, os.path.dirname(folder)).replace(os.sep, "/")
        names.append(relative + "/")
        names += [relative + "/" + f for f in files]
    with zipfile.ZipFile(zip_path, "w") as archive:
        for name in sorted(names):
            info = zipfile.ZipInfo(name, date)
            info.create_system = 3  # Unix, for the modes below
            if name.endswith("/"):
                info.external_attr = (0o40755 << 16) | 0x10
                archive.writestr(info, b"")
                continue
            info.external_attr = (0o100755 if name.endswith(".exe") else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(os.path.dirname(folder), name), "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
    return 0


if __name__ == "__main__":
    sys.exit(main())
