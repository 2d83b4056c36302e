#!/usr/bin/env python3
"""Reads back a program's version resource, as a file's properties page and
inventory tools read it.

    python3 tests/res/check-version.py PROGRAM.exe [PROGRAM.exe ...]

Each program must carry one VS_VERSION_INFO with the fixed file information
and two string blocks, Chinese (080403a8) and English (040904e4), each
holding the company, product name, file description, file and product
version, original file name (the program's own name) and copyright; the
translation list names both.  Exits 1 at the first fault.
"""
import importlib.util
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
source = importlib.util.spec_from_file_location("check_resources", os.path.join(here, "check-resources.py"))
resources_module = importlib.util.module_from_spec(source)
source.loader.exec_module(resources_module)

RT_VERSION = 16
BLOCKS = {"080403a8": (0x0804, 936), "040904e4": (0x0409, 1252)}
KEYS = ["CompanyName", "FileDescription", "FileVersion", "LegalCopyright", "OriginalFilename",
        "ProductName", "ProductVersion"]


class Fault(Exception):
    pass


def expect(cond, message):
    if not cond:
        raise Fault(message)


def align4(n):
    return (n + 3) & ~3


def read_node(data, at):
    """One version node: (key, value bytes, value type, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    expect(length >= 6 and at + length <= len(data), "version node at %d runs past its parent" % at)
    end = at + length
    p = at + 6
    key_end = p
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[p:key_end].decode("utf-16-le")
    p = align4(key_end + 2)
    size = value_length * 2 if kind == 1 else value_length
    value = data[p:p + size]
    p = align4(p + size)
    children = []
    while p < end:
        child = read_node(data, p)
        children.append(child)
        p = align4(child[4])
    return key, value, kind, children, end


def text(value):
    return value.decode("utf-16-le").rstrip("\0")


def check(path):
    resources = resources_module.read_resources(path)
    versions = [k for k in resources if k[0] == RT_VERSION]
    expect(versions == [(RT_VERSION, 1)], "one version resource (id 1) expected, found %r" % versions)
    data = resources[versions[0]][0]
    key, fixed, _, children, _ = read_node(data, 0)
    expect(key == "VS_VERSION_INFO", "root key %r" % key)
    expect(len(fixed) == 52, "fixed file information of %d bytes" % len(fixed))
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIIIII", fixed, 0)
    expect(signature == 0xFEEF04BD, "fixed file information without its signature")
    file_version = "%d.%d.%d.%d" % (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF)
    product_version = "%d.%d.%d.%d" % (product_ms >> 16, product_ms & 0xFFFF, product_ls >> 16,
                                       product_ls & 0xFFFF)
    by_key = {c[0]: c for c in children}
    expect("StringFileInfo" in by_key and "VarFileInfo" in by_key, "StringFileInfo and VarFileInfo expected")
    tables = {c[0].lower(): c for c in by_key["StringFileInfo"][3]}
    expect(sorted(tables) == sorted(BLOCKS), "string blocks %s, expected %s" % (sorted(tables), sorted(BLOCKS)))
    name = os.path.basename(path)
    found = {}
    for block in BLOCKS:
        strings = {c[0]: text(c[1]) for c in tables[block][3]}
        for k in KEYS:
            expect(strings.get(k), "%s: %s is missing or empty" % (block, k))
        expect(strings["OriginalFilename"].lower() == name.lower(),
               "%s: OriginalFilename %r is not the program's name %r" % (block, strings["OriginalFilename"], name))
        expect(strings["FileVersion"] == file_version,
               "%s: FileVersion %r, fixed part %s" % (block, strings["FileVersion"], file_version))
        expect(strings["ProductVersion"] == product_version,
               "%s: ProductVersion %r, fixed part %s" % (block, strings["ProductVersion"], product_version))
        found[block] = strings
    zh, en = found["080403a8"], found["040904e4"]
    # The Chinese block's description is Chinese, the English one plain ASCII.
    expect(any(ord(ch) >= 0x4E00 for ch in zh["FileDescription"]), "the Chinese description holds no Chinese")
    expect(all(ord(ch) < 0x80 for s in en.values() for ch in s), "the English block holds non-ASCII text")
    for k in ("CompanyName", "ProductName"):
        expect(zh[k] == en[k], "%s differs between the blocks" % k)
    translations = [c for c in by_key["VarFileInfo"][3] if c[0] == "Translation"]
    expect(translations, "VarFileInfo without a Translation")
    pairs = struct.unpack("<%dH" % (len(translations[0][1]) // 2), translations[0][1])
    expect(sorted(zip(pairs[0::2], pairs[1::2])) == sorted(BLOCKS.values()),
           "Translation %r does not name both blocks" % (pairs,))
    print("%s: version %s, %s / %s" % (name, file_version, en["FileDescription"], en["CompanyName"]))


def main(argv):
    if len(argv) < 2:
        sys.stderr.write("usage: check-version.py PROGRAM.exe...\n")
        return 2
    status = 0
    for path in argv[1:]:
        try:
            check(path)
        except (Fault, resources_module.Fault) as fault:
            sys.stderr.write("version: %s: %s\n" % (path, fault))
            status = 1
        except (struct.error, UnicodeDecodeError, OSError, KeyError) as error:
            sys.stderr.write("version: cannot read %s: %s\n" % (path, error))
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
