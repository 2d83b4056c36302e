#!/usr/bin/env python3
"""The include graph of the sources against their layers.

    layers.py [SRC]

SRC is the source folder (default: src/ of this tree).  Every quoted
include of a .h or .cpp file that names a file of SRC is an edge from the
includer's folder to the included file's folder.  The check fails when

  - a folder includes one it may not (LAYERS below: each folder with the
    folders it may include; anything else, a higher layer or a sibling, is
    refused),
  - two folders include each other,
  - a folder holds sources but has no place in LAYERS,
  - a folder of plain C++ includes a Windows header.

It prints one line per finding, "FILE:LINE: what", and exits 1 when there
is one, else 0 without output.
"""

import os
import re
import sys

# Lowest first.  The core (config to install) and the package check are
# plain C++ over sys/Platform.h; the real adapters (sys/win32) and the
# simulated machine (sys/sim) stand beside each other over it.  The shell
# builds up from the dialog base (dialog/) to the pages and to start-up and
# the frame (app/), over the real adapters (sys/win32: the system's
# libraries, the resources of the program's language).  The package check
# stands beside the shell: the wizard never includes it.
CORE = ["sys", "config", "spooler", "ports", "install"]
LAYERS = [
    ("compat", []),
    ("sys", []),
    ("sys/win32", ["sys"]),
    ("sys/sim", ["sys"]),
    ("config", ["sys"]),
    ("spooler", ["sys", "config"]),
    ("ports", ["sys", "config"]),
    ("install", ["sys", "config", "spooler", "ports"]),
    ("check", CORE),
    ("dialog", ["sys", "sys/win32"]),
    ("pages", CORE + ["sys/win32", "dialog"]),
    ("app", CORE + ["sys/win32", "dialog", "pages"]),
]
ALLOWED = dict(LAYERS)

# Folders that hold plain C++ only, and the headers that would make them not.
PLAIN = ["sys", "sys/sim", "config", "spooler", "ports", "install", "check"]
WINDOWS_HEADERS = {
    "windows.h", "winbase.h", "winuser.h", "wingdi.h", "winreg.h", "winspool.h", "winsvc.h",
    "commctrl.h", "commdlg.h", "shellapi.h", "shlobj.h", "richedit.h", "ole2.h", "objbase.h",
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cpp")


def folder_of(path):
    folder = os.path.dirname(path)
    return folder.replace(os.sep, "/")


def includes(root):
    """(file, line, kind, name) for every include of every source under root."""
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames.sort()
        for name in sorted(filenames):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(dirpath, name)
            relative = os.path.relpath(path, root).replace(os.sep, "/")
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, text in enumerate(f, 1):
                    m = INCLUDE.match(text)
                    if m:
                        yield relative, number, m.group(1), m.group(2)


def target_of(root, includer, name):
    """The file of root an include names, relative to root, or None."""
    for base in (root, os.path.join(root, os.path.dirname(includer))):
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(candidate):
            relative = os.path.relpath(candidate, root).replace(os.sep, "/")
            if not relative.startswith("../"):
                return relative
    return None


def check(root):
    findings = []
    edges = {}  # (from, to) -> first (file, line, name)
    folders = set()
    for file, line, kind, name in includes(root):
        source = folder_of(file)
        folders.add(source)
        if kind == "<":
            if source in PLAIN and os.path.basename(name).lower() in WINDOWS_HEADERS:
                findings.append("%s:%d: %s is plain C++ but includes <%s>" % (file, line, source, name))
            continue
        target = target_of(root, file, name)
        if target is None:
            continue  # outside the sources: res/resource.h, generated files
        destination = folder_of(target)
        if destination == source:
            continue
        edges.setdefault((source, destination), (file, line, name))
        if source in ALLOWED and destination not in ALLOWED[source]:
            allowed = ", ".join(ALLOWED[source]) or "nothing"
            findings.append("%s:%d: %s includes %s (%s), but %s may include only %s" %
                            (file, line, source, destination, name, source, allowed))
    for folder in sorted(folders):
        if folder not in ALLOWED:
            findings.append("%s/: the folder has no place in the layers" % (folder or "."))
    for (a, b), (file, line, name) in sorted(edges.items()):
        if a < b and (b, a) in edges:
            other = edges[(b, a)]
            findings.append("%s:%d: %s and %s include each other (%s, and %s:%d: %s)" %
                            (file, line, a, b, name, other[0], other[1], other[2]))
    return findings


def layers_in_order():
    """The table is itself a graph without a cycle, listed lowest first."""
    seen = set()
    for folder, allowed in LAYERS:
        for lower in allowed:
            if lower not in seen:
                return "%s may include %s, which is not listed below it" % (folder, lower)
        seen.add(folder)
    return None


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src")
    if not os.path.isdir(root):
        print("layers.py: %s is not a folder" % root)
        return 2
    problem = layers_in_order()
    if problem:
        print("layers.py: the layer table is not ordered: " + problem)
        return 2
    findings = check(root)
    for finding in findings:
        print(finding)
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
