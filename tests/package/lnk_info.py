#!/usr/bin/env python3
"""Prints what a Windows shortcut (.lnk) starts, as JSON: its target, working folder, arguments
and icon. Reads the documented Shell Link binary format; the target comes from the link's
location block (the local path), which is what Windows follows for a file on a local drive."""

import json
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH = 0x1, 0x2, 0x4, 0x8
HAS_WORKING_DIR, HAS_ARGUMENTS, HAS_ICON_LOCATION, IS_UNICODE = 0x10, 0x20, 0x40, 0x80
SHELL_LINK_CLSID = bytes.fromhex("0114020000000000c000000000000046")


def c_string(data, offset, wide):
    if wide:
        end = offset
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[offset:end].decode("utf-16-le")
    return data[offset:data.index(b"\0", offset)].decode("latin-1")


def local_path(info):
    """The target's path from the LinkInfo block: local base path + common path suffix."""
    header_size, flags = struct.unpack_from("<II", info, 4)
    if not flags & 1:
        return None
    base_offset, _, suffix_offset = struct.unpack_from("<III", info, 16)
    wide = header_size >= 0x24
    if wide:
        base_offset, suffix_offset = struct.unpack_from("<II", info, 28)
    return c_string(info, base_offset, wide) + c_string(info, suffix_offset, wide)


def parse(data):
    header_size, clsid, flags = struct.unpack_from("<I16sI", data, 0)
    if header_size != 0x4C or clsid != SHELL_LINK_CLSID:
        raise ValueError("not a shell link")
    icon_index, show_command = struct.unpack_from("<iI", data, 0x38)
    at = header_size
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    link = {"target": None, "icon_index": icon_index, "show_command": show_command}
    if flags & HAS_LINK_INFO:
        size = struct.unpack_from("<I", data, at)[0]
        link["target"] = local_path(data[at:at + size])
        at += size
    unit = 2 if flags & IS_UNICODE else 1
    for flag, name in ((HAS_NAME, "name"), (HAS_RELATIVE_PATH, "relative_path"),
                       (HAS_WORKING_DIR, "working_dir"), (HAS_ARGUMENTS, "arguments"),
                       (HAS_ICON_LOCATION, "icon")):
        if flags & flag:
            count = struct.unpack_from("<H", data, at)[0]
            raw = data[at + 2:at + 2 + count * unit]
            # Wine counts the terminating null too; Windows does not.
            link[name] = raw.decode("utf-16-le" if unit == 2 else "latin-1").rstrip("\0")
            at += 2 + count * unit
    return link


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as f:
        print(json.dumps(parse(f.read()), indent=1))
