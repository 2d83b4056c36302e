#!/usr/bin/env python3
"""Writes the dialogs' initialisation data (resource type 240) as
dlginit_<template id>.bin (Chinese) and dlginit_<template id>_en.bin
(English), one file per dialog template and language.

Format, little-endian: records of
    uint16 control id, uint16 record kind, uint32 byte length, the bytes
ended by a uint16 zero.  Kinds:
    0x0403  add a string to a combo box: the entry text (code page 936)
            and its terminating NUL
    0x037A  the rich-text control's content: the RTF document, without a
            terminating NUL (the dialog streams in exactly the record's
            length)

    python3 res/make-dlginit.py [--out-dir DIR]

Control and template ids are taken by name from resource.h.
"""
import argparse
import os
import re
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

ADD_COMBO_STRING = 0x0403
RICH_TEXT_DOCUMENT = 0x037A

# What each dialog gets, in record order.  ("strings", [...]) becomes one
# combo-box record per entry; ("rtf", file) one rich-text record.
DIALOGS = [
    ("IDD_PORT_PAGE", [
        ("IDC_BAUD_LIST", "strings",
         ["110", "300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"]),
        ("IDC_PARITY_LIST", "strings", ["Even", "Mark", "None", "Odd", "Space"]),
        ("IDC_DATABITS_LIST", "strings", ["5", "6", "7", "8"]),
        ("IDC_STOPBITS_LIST", "strings", ["1", "1.5", "2"]),
        ("IDC_FLOW_LIST", "strings", ["None", "Xon/Xoff", "Hardware"]),
    ]),
    ("IDD_AGREEMENT_PAGE", [
        ("IDC_AGREEMENT_TEXT", "rtf", {"zh": "agreement.rtf", "en": "agreement-en.rtf"}),
    ]),
]


def read_ids(header):
    """The numeric #defines of resource.h, by name."""
    ids = {}
    with open(header, encoding="utf-8") as f:
        for line in f:
            m = re.match(r"\s*#\s*define\s+(\w+)\s+\(?(-?(?:0x[0-9A-Fa-f]+|\d+))\)?\s*(?://.*)?$", line)
            if m:
                ids[m.group(1)] = int(m.group(2), 0)
    return ids


def record(control, kind, data):
    return struct.pack("<HHI", control, kind, len(data)) + data


# The languages, with the suffix of their files.
LANGUAGES = {"zh": "", "en": "_en"}


def build(ids, rtf_dir, language="zh"):
    """{template id: bytes} for every dialog of DIALOGS, in one language."""
    out = {}
    for dialog, controls in DIALOGS:
        data = b""
        for name, what, value in controls:
            control = ids[name]
            if what == "strings":
                for entry in value:
                    data += record(control, ADD_COMBO_STRING, entry.encode("gbk") + b"\0")
            elif what == "rtf":
                with open(os.path.join(rtf_dir, value[language]), "rb") as f:
                    document = f.read()
                if not document.startswith(b"{\\rtf1"):
                    raise ValueError("%s is no RTF document" % value[language])
                data += record(control, RICH_TEXT_DOCUMENT, document)
            else:
                raise ValueError("unknown record kind " + what)
        out[ids[dialog]] = data + struct.pack("<H", 0)
    return out


def main():
    parser = argparse.ArgumentParser(description="Writes the dialog initialisation data.")
    parser.add_argument("--out-dir", default=os.getcwd())
    parser.add_argument("--resource-h", default=os.path.join(HERE, "resource.h"))
    parser.add_argument("--source-dir", default=HERE, help="where agreement.rtf lies")
    args = parser.parse_args()
    os.makedirs(args.out_dir, exist_ok=True)
    ids = read_ids(args.resource_h)
    for language, suffix in LANGUAGES.items():
        for template, data in build(ids, args.source_dir, language).items():
            path = os.path.join(args.out_dir, "dlginit_%d%s.bin" % (template, suffix))
            with open(path, "wb") as f:
                f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
