#!/usr/bin/env python3
"""Checks the texts a wizard run showed on an English system against the
program's English resources.

    english-texts.py PROGRAM.exe DRIVER_OUTPUT

DRIVER_OUTPUT is wizard-driver's output; each "texts" step in it lists the
target window's caption and every visible control as ID CLASS "TEXT".  Each
text must be plain printable ASCII without "?" (code page 936 bytes read as
1252, or characters 1252 lacks, show as neither), and must be what the
English resources say for that control: its text in an English dialog
template, or for the controls the program writes at run time, an English
string of the program (the button captions, the install-mode lines).  The
agreement must be the English one; a combo box shows an entry of its list,
which the package gives.  Prints one line per texts step; exits 1 when a
text is wrong.
"""
import importlib.util
import os
import re
import sys

here = os.path.dirname(os.path.abspath(__file__))
source = importlib.util.spec_from_file_location("check_resources",
                                              os.path.join(here, "..", "res", "check-resources.py"))
res = importlib.util.module_from_spec(source)
source.loader.exec_module(res)

# What the frame's code writes (sys/Language.cpp): caption and buttons.
RUN_TIME = {
    1: ["&Next >", "&Finish", "OK"],
    1002: ["< &Back"],
    2: ["&Cancel", "Cancel"],
}
CAPTIONS = ["Install Printer Driver", "About Instalix"]
# The install-mode lines are written from the string table.
MODE_LINES = {"IDC_MODE_LINE1": ["IDS_TYPICAL_LINE", "IDS_ADVANCED_LINE1"], "IDC_MODE_LINE2": ["IDS_ADVANCED_LINE2"]}


def resource_ids():
    ids = {}
    with open(os.path.join(here, "..", "..", "res", "resource.h"), encoding="utf-8") as f:
        for line in f:
            m = re.match(r"\s*#\s*define\s+(\w+)\s+(-?\d+)", line)
            if m:
                ids[m.group(1)] = int(m.group(2))
    return ids


IDS = resource_ids()
AGREEMENT = IDS["IDC_AGREEMENT_TEXT"]
ENTRY = re.compile(r'(-?\d+) (\S+) "((?:[^"\\]|\\.)*)"')


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m.group(1), m.group(1)), text)


def expected_texts(program):
    """{control id: set of texts} from the English templates and strings."""
    every = res.read_all(program)
    english = {(t, n): b for (t, n, l), b in every.items() if l == res.LANG_ENGLISH_US}
    allowed = {}
    for (rtype, name), body in english.items():
        if rtype != res.RT_DIALOG:
            continue
        for control in res.parse_dialogex(body)["controls"]:
            if isinstance(control["text"], str):
                allowed.setdefault(control["id"], set()).add(control["text"])
    strings = {}
    for (rtype, block), body in english.items():
        if rtype == res.RT_STRING:
            for i, s in enumerate(res.strings_of(body)):
                strings[(block - 1) * 16 + i] = s
    for cid, texts in RUN_TIME.items():
        allowed.setdefault(cid, set()).update(texts)
    for control, names in MODE_LINES.items():
        allowed.setdefault(IDS[control], set()).update(strings[IDS[n]] for n in names if strings.get(IDS[n]))
    return allowed


def plain(text):
    return all(0x20 <= ord(ch) < 0x7F or ch in "\t\r\n" for ch in text) and "?" not in text


def check(program, output):
    allowed = expected_texts(program)
    faults, steps = [], 0
    with open(output, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = re.match(r'^(\d+): texts => window "((?:[^"\\]|\\.)*)"(.*)$', line.rstrip("\n"))
            if not m:
                continue
            steps += 1
            where = "line %s" % m.group(1)
            caption = unescape(m.group(2))
            if caption not in CAPTIONS:
                faults.append("%s: window caption %r" % (where, caption))
            controls = ENTRY.findall(m.group(3))
            if not controls:
                faults.append("%s: no visible control" % where)
            for cid, cls, raw in controls:
                cid, text = int(cid), unescape(raw)
                what = "%s: control %d (%s) %r" % (where, cid, cls, text[:60])
                if cls == "#32770" and cid == 0 and text == "":
                    continue  # a page: its controls follow
                if cls.lower() == "static" and text.startswith("\uffff"):
                    continue  # a picture: the resource's ordinal, not a text
                if not plain(text):
                    faults.append(what + ": not plain English")
                elif cid == AGREEMENT:
                    if not text.lstrip().startswith("Software License Agreement"):
                        faults.append(what + ": not the English agreement")
                elif cls.lower() == "combobox" or (cid == -1 and text == ""):
                    continue
                elif text not in allowed.get(cid, ()):
                    faults.append(what + ": not the English resources' text")
            print("%s: %d controls of %r" % (where, len(controls), caption))
    if steps == 0:
        faults.append("no texts step in %s" % output)
    for fault in faults:
        print("!! " + fault)
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.stderr.write("usage: english-texts.py PROGRAM.exe DRIVER_OUTPUT\n")
        sys.exit(2)
    sys.exit(check(sys.argv[1], sys.argv[2]))
